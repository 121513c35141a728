#include "NorvctrlModule.h"
#include "Chart.h"
#include "ClassFactory.h"
#include <string>

extern "C" {
BOOL WINAPI PrxDllMain(HINSTANCE instance, DWORD reason, void* reserved);
HRESULT STDAPICALLTYPE PrxDllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT STDAPICALLTYPE PrxDllCanUnloadNow();
HRESULT STDAPICALLTYPE PrxDllRegisterServer();
HRESULT STDAPICALLTYPE PrxDllUnregisterServer();
}

namespace {
const wchar_t kAppId[] = L"{D2A94C17-5E83-4B6F-A021-9C7E3F58B0D4}";

std::vector<std::pair<std::wstring, std::wstring>> Substitutions()
{
    return {{L"MODULE", AxModule().Path()}, {L"APPID", kAppId}, {L"OLEMISC", std::to_wstring(CChart::kMiscStatus)}};
}

CnorvctrlModule& Module()
{
    static CnorvctrlModule module;
    return module;
}

SYSKIND TypeLibKind()
{
    return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
}
}  // namespace

CRegistryScript CnorvctrlModule::AppIdScript()
{
    return CRegistryScript::FromResource(AxModule().Instance(), 101, Substitutions());
}

CRegistryScript CnorvctrlModule::ControlScript()
{
    return CRegistryScript::FromResource(AxModule().Instance(), 103, Substitutions());
}

HRESULT CnorvctrlModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (PrxDllGetClassObject(clsid, iid, out) == S_OK)
        return S_OK;
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Chart)
        return CLASS_E_CLASSNOTAVAILABLE;
    static CClassFactory<CChart> factory;
    return factory.QueryInterface(iid, out);
}

HRESULT CnorvctrlModule::CanUnloadNow()
{
    return PrxDllCanUnloadNow() == S_OK && AxModule().LockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT CnorvctrlModule::RegisterServer()
{
    HRESULT hr = AppIdScript().Register();
    if (SUCCEEDED(hr))
        hr = ControlScript().Register();
    CComPtr<ITypeLib> library;
    if (SUCCEEDED(hr))
        hr = ::LoadTypeLibEx(AxModule().Path().c_str(), REGKIND_REGISTER, &library);
    // The proxy/stub last: registering the type library points IChart at the type-library
    // marshaler, and the last registration wins.
    if (SUCCEEDED(hr))
        hr = PrxDllRegisterServer();
    return hr;
}

HRESULT CnorvctrlModule::UnregisterServer()
{
    HRESULT hr = AppIdScript().Unregister();
    HRESULT control = ControlScript().Unregister();
    if (SUCCEEDED(hr))
        hr = control;
    ::UnRegisterTypeLib(LIBID_norvctrlLib, 1, 0, 0x409, TypeLibKind());
    HRESULT proxy = PrxDllUnregisterServer();
    return SUCCEEDED(hr) ? proxy : hr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        AxModule().Init(instance);
    else if (reason == DLL_PROCESS_DETACH && !reserved)
        CControlBase::UnregisterWindowClasses();
    return PrxDllMain(instance, reason, reserved);
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return Module().GetClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow()
{
    return Module().CanUnloadNow();
}

STDAPI DllRegisterServer()
{
    return Module().RegisterServer();
}

STDAPI DllUnregisterServer()
{
    return Module().UnregisterServer();
}
