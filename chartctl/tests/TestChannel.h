#pragma once
#include <oaidl.h>

// A channel object as a host would give to SetChannel: its one property "value" (DISPID 1)
// counts the reads and returns 1.5, 2.5, 3.5, ...
class CTestChannel : public IDispatch {
public:
    LONG Reads() const { return m_reads; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&m_references); }
    STDMETHODIMP_(ULONG) Release() override { return ::InterlockedDecrement(&m_references); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (count != 1 || lstrcmpiW(names[0], L"value") != 0) {
            ids[0] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = 1;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override
    {
        if (id != 1 || !(flags & DISPATCH_PROPERTYGET) || !result)
            return DISP_E_MEMBERNOTFOUND;
        const LONG reads = ::InterlockedIncrement(&m_reads);
        result->vt = VT_R8;
        result->dblVal = reads + 0.5;
        return S_OK;
    }

    LONG m_references = 1;  // lives on the test's stack
    LONG m_reads = 0;
};
