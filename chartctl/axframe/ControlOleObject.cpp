// IOleObject: the client site, extent, advise connections and the class's registry identity.
#include "ControlBase.h"

HRESULT CControlBase::SetClientSite(IOleClientSite* site)
{
    m_clientSite = site;
    return S_OK;
}

HRESULT CControlBase::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = m_clientSite;
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT CControlBase::EnumVerbs(IEnumOLEVERB** verbs)
{
    return ::OleRegEnumVerbs(m_clsid, verbs);
}

HRESULT CControlBase::GetUserClassID(CLSID* clsid)
{
    return GetClassID(clsid);
}

HRESULT CControlBase::GetUserType(DWORD form, LPOLESTR* type)
{
    return ::OleRegGetUserType(m_clsid, form, type);
}

HRESULT CControlBase::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    m_dirty = m_dirty || size->cx != m_extent.cx || size->cy != m_extent.cy;
    m_extent = *size;
    return S_OK;
}

HRESULT CControlBase::GetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!size)
        return E_POINTER;
    *size = m_extent;
    return S_OK;
}

HRESULT CControlBase::Advise(IAdviseSink* sink, DWORD* connection)
{
    if (!m_oleAdviseHolder) {
        HRESULT hr = ::CreateOleAdviseHolder(&m_oleAdviseHolder);
        if (FAILED(hr))
            return hr;
    }
    return m_oleAdviseHolder->Advise(sink, connection);
}

HRESULT CControlBase::Unadvise(DWORD connection)
{
    return m_oleAdviseHolder ? m_oleAdviseHolder->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT CControlBase::EnumAdvise(IEnumSTATDATA** advises)
{
    if (!advises)
        return E_POINTER;
    *advises = nullptr;
    return m_oleAdviseHolder ? m_oleAdviseHolder->EnumAdvise(advises) : E_FAIL;
}

HRESULT CControlBase::GetMiscStatus(DWORD aspect, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? m_miscStatus : 0;
    return S_OK;
}
