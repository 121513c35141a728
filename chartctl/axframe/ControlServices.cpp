// The small interfaces containers ask for: error info, property pages, quick activation, data
// advise connections, class info and object safety.
#include "ControlBase.h"

namespace {
const DWORD kSafeOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
}

HRESULT CControlBase::InterfaceSupportsErrorInfo(REFIID iid)
{
    return iid == m_primaryIid ? S_OK : S_FALSE;
}

HRESULT CControlBase::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    return S_OK;
}

HRESULT CControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control)
        return E_POINTER;
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    HRESULT hr = SetClientSite(container->pClientSite);
    if (container->pAdviseSink)
        SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwMiscStatus = m_miscStatus;
    control->dwViewStatus = 0;
    control->dwEventCookie = 0;
    control->dwPropNotifyCookie = 0;
    control->dwPointerActivationPolicy = 0;
    return hr;
}

HRESULT CControlBase::SetContentExtent(LPSIZEL size)
{
    return SetExtent(DVASPECT_CONTENT, size);
}

HRESULT CControlBase::GetContentExtent(LPSIZEL size)
{
    return GetExtent(DVASPECT_CONTENT, size);
}

HRESULT CControlBase::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection)
{
    if (!m_dataAdviseHolder) {
        HRESULT hr = ::CreateDataAdviseHolder(&m_dataAdviseHolder);
        if (FAILED(hr))
            return hr;
    }
    return m_dataAdviseHolder->Advise(static_cast<IDataObject*>(this), format, flags, sink, connection);
}

HRESULT CControlBase::DUnadvise(DWORD connection)
{
    return m_dataAdviseHolder ? m_dataAdviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT CControlBase::EnumDAdvise(IEnumSTATDATA** advises)
{
    if (!advises)
        return E_POINTER;
    *advises = nullptr;
    return m_dataAdviseHolder ? m_dataAdviseHolder->EnumAdvise(advises) : E_FAIL;
}

HRESULT CControlBase::GetClassInfo(ITypeInfo** info)
{
    return GetCoClassInfo(info);
}

// The control raises no events, so it has no default source interface.
HRESULT CControlBase::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = GUID_NULL;
    return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? E_FAIL : E_INVALIDARG;
}

HRESULT CControlBase::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled)
{
    if (!supported || !enabled)
        return E_POINTER;
    CComPtr<IUnknown> probe;
    if (FAILED(QueryInterface(iid, reinterpret_cast<void**>(&probe)))) {
        *supported = *enabled = 0;
        return E_NOINTERFACE;
    }
    *supported = kSafeOptions;
    *enabled = m_safetyOptions;
    return S_OK;
}

HRESULT CControlBase::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled)
{
    CComPtr<IUnknown> probe;
    if (FAILED(QueryInterface(iid, reinterpret_cast<void**>(&probe))))
        return E_NOINTERFACE;
    if (mask & ~kSafeOptions)
        return E_FAIL;
    m_safetyOptions = (m_safetyOptions & ~mask) | (enabled & mask);
    return S_OK;
}
