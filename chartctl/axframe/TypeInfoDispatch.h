#pragma once
#include "ComPtr.h"
#include <oaidl.h>

// IDispatch served from a registered type library: the type information of one dual interface
// drives name look-up and invocation on the object's vtable. The library is looked up at the
// first call that needs it, so an object made before registration still works once registered.
class CTypeInfoDispatch {
public:
    CTypeInfoDispatch(const GUID& libid, WORD major, WORD minor, LCID lcid, const IID& iid, const CLSID& clsid)
        : m_libid(libid), m_major(major), m_minor(minor), m_lcid(lcid), m_iid(iid), m_clsid(clsid) {}

    HRESULT GetTypeInfoCount(UINT* count) const;
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info) const;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) const;
    HRESULT Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) const;
    HRESULT GetClassInfo(ITypeInfo** info) const;

private:
    HRESULT Load() const;

    const GUID& m_libid;
    WORD m_major, m_minor;
    LCID m_lcid;
    const IID& m_iid;
    const CLSID& m_clsid;
    mutable CComPtr<ITypeInfo> m_interface;
    mutable CComPtr<ITypeInfo> m_class;
};
