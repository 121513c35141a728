#include "TypeInfoDispatch.h"

HRESULT CTypeInfoDispatch::Load() const
{
    if (m_interface && m_class)
        return S_OK;
    CComPtr<ITypeLib> library;
    HRESULT hr = ::LoadRegTypeLib(m_libid, m_major, m_minor, m_lcid, &library);
    if (SUCCEEDED(hr))
        hr = library->GetTypeInfoOfGuid(m_iid, &m_interface);
    if (SUCCEEDED(hr))
        hr = library->GetTypeInfoOfGuid(m_clsid, &m_class);
    return hr;
}

HRESULT CTypeInfoDispatch::GetTypeInfoCount(UINT* count) const
{
    if (!count)
        return E_POINTER;
    *count = SUCCEEDED(Load()) ? 1 : 0;
    return S_OK;
}

HRESULT CTypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** info) const
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    HRESULT hr = Load();
    if (FAILED(hr))
        return hr;
    *info = m_interface;
    (*info)->AddRef();
    return S_OK;
}

HRESULT CTypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const
{
    HRESULT hr = Load();
    if (FAILED(hr))
        return hr;
    return ::DispGetIDsOfNames(m_interface, names, count, ids);
}

HRESULT CTypeInfoDispatch::Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT* argError) const
{
    HRESULT hr = Load();
    if (FAILED(hr))
        return hr;
    return m_interface->Invoke(object, id, flags, params, result, exception, argError);
}

HRESULT CTypeInfoDispatch::GetClassInfo(ITypeInfo** info) const
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    HRESULT hr = Load();
    if (FAILED(hr))
        return hr;
    *info = m_class;
    (*info)->AddRef();
    return S_OK;
}
