#include "DispatchByName.h"

namespace {
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT& argument)
{
    DISPID id = 0;
    auto* names = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, nullptr, nullptr, nullptr);
}
}  // namespace

HRESULT PutPropertyByName(IDispatch* object, const wchar_t* name, VARIANT& value)
{
    return InvokeByName(object, name, DISPATCH_PROPERTYPUT, value);
}

HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT& argument)
{
    return InvokeByName(object, name, DISPATCH_METHOD, argument);
}
