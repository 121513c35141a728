#include "ControlBase.h"
#include "AxModule.h"

namespace {
const wchar_t kRelayClass[] = L"NorvctrlRepaintRelay";
const UINT kRelayRepaint = WM_APP + 1;
const LONG kDefaultExtent = 5080;  // two inches in HIMETRIC
}  // namespace

CControlBase::CControlBase(IUnknown* outer, const CLSID& clsid, const IID& primaryIid, DWORD miscStatus)
    : m_outer(outer ? outer : &m_inner), m_clsid(clsid), m_primaryIid(primaryIid), m_miscStatus(miscStatus),
      m_ownerThread(::GetCurrentThreadId()), m_extent{kDefaultExtent, kDefaultExtent}
{
    AxModule().Lock();
    if (RegisterWindowClasses())
        m_relay.Attach(::CreateWindowExW(0, kRelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         AxModule().Instance(), this));
}

CControlBase::~CControlBase()
{
    m_window.Destroy();
    AxModule().Unlock();
}

bool CControlBase::RegisterWindowClasses()
{
    static const bool registered = [] {
        WNDCLASSEXW control = {};
        control.cbSize = sizeof(control);
        control.style = CS_HREDRAW | CS_VREDRAW;  // a new size changes the whole layout
        control.lpfnWndProc = WindowProc;
        control.hInstance = AxModule().Instance();
        control.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        control.lpszClassName = kWindowClass;
        WNDCLASSEXW relay = {};
        relay.cbSize = sizeof(relay);
        relay.lpfnWndProc = RelayProc;
        relay.hInstance = AxModule().Instance();
        relay.lpszClassName = kRelayClass;
        return ::RegisterClassExW(&control) != 0 && ::RegisterClassExW(&relay) != 0;
    }();
    return registered;
}

void CControlBase::UnregisterWindowClasses()
{
    ::UnregisterClassW(kWindowClass, AxModule().Instance());
    ::UnregisterClassW(kRelayClass, AxModule().Instance());
}

HRESULT STDMETHODCALLTYPE CControlBase::CInnerUnknown::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : m_owner.FindInterface(iid);
    if (!*out)
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CControlBase::CInnerUnknown::AddRef()
{
    return ::InterlockedIncrement(&m_owner.m_references);
}

ULONG STDMETHODCALLTYPE CControlBase::CInnerUnknown::Release()
{
    const LONG count = ::InterlockedDecrement(&m_owner.m_references);
    if (count == 0)
        delete &m_owner;
    return count;
}

// The order containers see: the control's own interfaces first, then the framework's.
void* CControlBase::FindInterface(REFIID iid)
{
    if (void* primary = FindPrimaryInterface(iid))
        return primary;
    if (iid == IID_IViewObjectEx)
        return static_cast<IViewObjectEx*>(this);
    if (iid == IID_IViewObject2)
        return static_cast<IViewObject2*>(this);
    if (iid == IID_IViewObject)
        return static_cast<IViewObject*>(this);
    if (iid == IID_IOleInPlaceObject)
        return static_cast<IOleInPlaceObject*>(this);
    if (iid == IID_IOleWindow)
        return static_cast<IOleInPlaceObject*>(this);
    if (iid == IID_IOleInPlaceActiveObject)
        return static_cast<IOleInPlaceActiveObject*>(this);
    if (iid == IID_IOleControl)
        return static_cast<IOleControl*>(this);
    if (iid == IID_IOleObject)
        return static_cast<IOleObject*>(this);
    if (iid == IID_IPersistStreamInit)
        return static_cast<IPersistStreamInit*>(this);
    if (iid == IID_IPersist)
        return static_cast<IPersistStreamInit*>(this);
    if (iid == IID_ISupportErrorInfo)
        return static_cast<ISupportErrorInfo*>(this);
    if (iid == IID_ISpecifyPropertyPages)
        return static_cast<ISpecifyPropertyPages*>(this);
    if (iid == IID_IQuickActivate)
        return static_cast<IQuickActivate*>(this);
    if (iid == IID_IPersistStorage)
        return static_cast<IPersistStorage*>(this);
    if (iid == IID_IDataObject)
        return static_cast<IDataObject*>(this);
    if (iid == IID_IProvideClassInfo)
        return static_cast<IProvideClassInfo*>(this);
    if (iid == IID_IProvideClassInfo2)
        return static_cast<IProvideClassInfo2*>(this);
    if (iid == IID_IObjectSafety)
        return static_cast<IObjectSafety*>(this);
    return nullptr;
}

void CControlBase::RequestRepaint()
{
    if (HWND window = m_window) {
        ::InvalidateRect(window, nullptr, TRUE);
        return;
    }
    if (::GetCurrentThreadId() == m_ownerThread)
        NotifyViewChange();
    else
        ::PostMessageW(m_relay, kRelayRepaint, 0, 0);
}

void CControlBase::NotifyViewChange()
{
    if (m_viewSink && (m_viewAspects & DVASPECT_CONTENT))
        m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
}

LRESULT CALLBACK CControlBase::RelayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == kRelayRepaint) {
        auto* control = reinterpret_cast<CControlBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (control)
            control->RequestRepaint();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
