// In-place activation with a window of the control's own, and that window.
#include "ControlBase.h"
#include "AxModule.h"

namespace {
const DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x56000000
}  // namespace

HRESULT CControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position)
{
    if (site && !m_clientSite)
        SetClientSite(site);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(verb, parent, position);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (m_window)
            ::ShowWindow(m_window, SW_HIDE);
        return S_OK;
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT CControlBase::InPlaceActivate(LONG verb, HWND parentOverride, const RECT* positionOverride)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    if (!m_inPlaceActive) {
        HRESULT hr = ActivateInSite(parentOverride, positionOverride);
        if (FAILED(hr))
            return hr;
    }
    if (verb == OLEIVERB_UIACTIVATE && !m_uiActive) {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
        ::SetFocus(m_window);
    }
    ::ShowWindow(m_window, SW_SHOW);
    return S_OK;
}

// All or nothing: a site that refuses, or a window that cannot be made, leaves the control
// inactive (the site is told so again), so that a later activation starts afresh. A site that
// offers windowless activation still gets a window: the control never goes windowless.
HRESULT CControlBase::ActivateInSite(HWND parentOverride, const RECT* positionOverride)
{
    CComPtr<IOleInPlaceSite> site;
    HRESULT hr = m_clientSite.QueryInterface(IID_IOleInPlaceSite, &site);
    if (FAILED(hr))
        return hr;
    if (site->CanInPlaceActivate() != S_OK)
        return E_FAIL;
    hr = site->OnInPlaceActivate();
    if (FAILED(hr))
        return hr;

    CComPtr<IOleInPlaceFrame> frame;
    CComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo = {};
    frameInfo.cb = sizeof(frameInfo);
    site->GetWindowContext(&frame, &document, &position, &clip, &frameInfo);
    if (positionOverride)
        position = *positionOverride;
    HWND parent = nullptr;
    if (FAILED(site->GetWindow(&parent)) || !parent)
        parent = parentOverride;
    hr = parent ? CreateControlWindow(parent, position) : E_FAIL;
    if (FAILED(hr)) {
        site->OnInPlaceDeactivate();
        return hr;
    }
    m_inPlaceSite = site;
    m_inPlaceActive = true;
    return S_OK;
}

HRESULT CControlBase::CreateControlWindow(HWND parent, const RECT& position)
{
    m_window.Attach(::CreateWindowExW(0, kWindowClass, L"", kWindowStyle, position.left, position.top,
                                      position.right - position.left, position.bottom - position.top, parent,
                                      nullptr, AxModule().Instance(), this));
    return m_window ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
}

HRESULT CControlBase::InPlaceDeactivate()
{
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    m_window.Destroy();
    if (m_inPlaceSite)
        m_inPlaceSite->OnInPlaceDeactivate();
    m_inPlaceSite.Release();
    return S_OK;
}

HRESULT CControlBase::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite)
        m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT CControlBase::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position)
        return E_POINTER;
    if (m_window)
        ::MoveWindow(m_window, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    return S_OK;
}

HRESULT CControlBase::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_window;
    return m_window ? S_OK : E_FAIL;
}

HRESULT CControlBase::Close(DWORD)
{
    // Some hosts never call InPlaceDeactivate: Close must take the window down itself.
    InPlaceDeactivate();
    if (m_oleAdviseHolder)
        m_oleAdviseHolder->SendOnClose();
    return S_OK;
}

LRESULT CALLBACK CControlBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<CControlBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        control->PaintContent(dc, client);
        ::EndPaint(window, &paint);
        return 0;
    }
    if (control && message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (control->m_window == window)
            control->m_window.Detach();
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
