// IViewObjectEx: drawing into the container's device context and hit testing.
#include "ControlBase.h"

HRESULT CControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                           BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!dc)
        return E_INVALIDARG;
    RECT rect{};
    if (bounds)
        rect = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    else if (m_window)
        ::GetClientRect(m_window, &rect);
    else
        return E_INVALIDARG;
    return PaintContent(dc, rect);
}

HRESULT CControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    m_viewSink = sink;
    m_viewAspects = aspects;
    m_viewAdviseFlags = flags;
    return S_OK;
}

HRESULT CControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = m_viewAspects;
    if (flags)
        *flags = m_viewAdviseFlags;
    if (sink) {
        *sink = m_viewSink;
        if (*sink)
            (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT CControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

// Neither opaque nor with a solid background: containers paint their own background first.
HRESULT CControlBase::GetViewStatus(DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = 0;
    return S_OK;
}

HRESULT CControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT location, LONG, DWORD* hit)
{
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    if (!bounds || !hit)
        return E_POINTER;
    *hit = ::PtInRect(bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT CControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT location, LONG, DWORD* hit)
{
    if (aspect != DVASPECT_CONTENT)
        return E_FAIL;
    if (!bounds || !location || !hit)
        return E_POINTER;
    RECT overlap;
    *hit = ::IntersectRect(&overlap, bounds, location) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}
