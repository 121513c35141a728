#pragma once
#include "AxModule.h"
#include "RegistryScript.h"

// The library's server duties: its class object, registration (the AppID and control scripts,
// the type library, then the IChart proxy/stub) and unregistration.
class CnorvctrlModule {
public:
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
    HRESULT CanUnloadNow();
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

    // The registry scripts 101 (AppID) and 103 (the control) of the library's resources, with
    // %MODULE%, %APPID% and %OLEMISC% filled in.
    static CRegistryScript AppIdScript();
    static CRegistryScript ControlScript();
};
