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
const wchar_t kClsid[] = L"{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}";
const wchar_t kLibid[] = L"{4B6D2E90-71C3-4F0A-9E25-B3A8D1C60F47}";

std::vector<std::pair<std::wstring, std::wstring>> Substitutions()
{
    return {{L"MODULE", AxModule().Path()}, {L"APPID", kAppId}, {L"OLEMISC", std::to_wstring(CChart::kMiscStatus)}};
}

std::wstring Key(const wchar_t* parent, const wchar_t* child)
{
    return std::wstring(parent) + L"\\" + child;
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
    static const std::wstring appIdKey = Key(L"AppID", kAppId);
    return CRegistryScript({{L"AppID", nullptr, {}, false, true},
                            {appIdKey.c_str(), L"norvctrl2"},
                            {L"AppID\\norvctrl.DLL", nullptr, {{L"AppID", L"%APPID%"}}}},
                           Substitutions());
}

CRegistryScript CnorvctrlModule::ControlScript()
{
    static const std::wstring clsidKey = Key(L"CLSID", kClsid);
    static const std::wstring keys[] = {Key(clsidKey.c_str(), L"Programmable"), Key(clsidKey.c_str(), L"Control"),
                                        Key(clsidKey.c_str(), L"Insertable"), Key(clsidKey.c_str(), L"InprocServer32"),
                                        Key(clsidKey.c_str(), L"ToolboxBitmap32"), Key(clsidKey.c_str(), L"MiscStatus"),
                                        Key(clsidKey.c_str(), L"MiscStatus\\1"), Key(clsidKey.c_str(), L"TypeLib"),
                                        Key(clsidKey.c_str(), L"Version"), Key(clsidKey.c_str(), L"ProgID"),
                                        Key(clsidKey.c_str(), L"VersionIndependentProgID")};
    return CRegistryScript(
        {{L"norvctrl2.ChartView.1", L"ChartView Class"},
         {L"norvctrl2.ChartView.1\\CLSID", kClsid},
         {L"norvctrl2.ChartView.1\\Insertable", nullptr},
         {L"norvctrl2.ChartView", L"ChartView Class"},
         {L"norvctrl2.ChartView\\CLSID", kClsid},
         {L"norvctrl2.ChartView\\CurVer", L"norvctrl2.ChartView.1"},
         {L"CLSID", nullptr, {}, false, true},
         {clsidKey.c_str(), L"ChartView Class", {{L"AppID", L"%APPID%"}}, true},
         {keys[9].c_str(), L"norvctrl2.ChartView.1"},
         {keys[10].c_str(), L"norvctrl2.ChartView"},
         {keys[0].c_str(), nullptr, {}, true},
         {keys[1].c_str(), nullptr, {}, true},
         {keys[2].c_str(), nullptr, {}, true},
         {keys[3].c_str(), L"%MODULE%", {{L"ThreadingModel", L"Apartment"}}},
         {keys[4].c_str(), L"%MODULE%, 102", {}, true},
         {keys[5].c_str(), L"0"},
         {keys[6].c_str(), L"%OLEMISC%"},
         {keys[7].c_str(), kLibid},
         {keys[8].c_str(), L"1.0"}},
        Substitutions());
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
