#pragma once
#include "AxModule.h"
#include <unknwn.h>

// Class object of a creatable class T: T::CreateInstance(outer, iid, out) makes one object.
// The factory is static; its references only lock the module.
template <class T>
class CClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { AxModule().Lock(); return 2; }
    STDMETHODIMP_(ULONG) Release() override { AxModule().Unlock(); return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer && iid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        return T::CreateInstance(outer, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            AxModule().Lock();
        else
            AxModule().Unlock();
        return S_OK;
    }
};
