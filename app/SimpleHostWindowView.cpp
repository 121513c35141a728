#include "SimpleHostWindowView.h"
#include <commctrl.h>
#include <ocidl.h>

namespace {
using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxAttachControlFn = HRESULT(WINAPI*)(IUnknown* control, HWND window, IUnknown** container);
}  // namespace

CSimpleHostWindowView::~CSimpleHostWindowView()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CSimpleHostWindowView::Create(HWND parent, const RECT& rect)
{
    auto init = m_atl.Function<AtlAxWinInitFn>("AtlAxWinInit");
    if (!init || !init())
        return false;
    m_hWnd = ::CreateWindowExW(0, L"AtlAxWin", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hWnd)
        return false;
    ::SetWindowSubclass(m_hWnd, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

HRESULT CSimpleHostWindowView::AttachControl(IUnknown* control)
{
    auto attach = m_atl.Function<AtlAxAttachControlFn>("AtlAxAttachControl");
    if (!m_hWnd || !attach)
        return E_FAIL;
    // The host does not initialise the control's persistent state; a fresh control needs it.
    CComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist))))
        persist->InitNew();
    return attach(control, m_hWnd, &m_container);
}

LRESULT CALLBACK CSimpleHostWindowView::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                     UINT_PTR id, DWORD_PTR self)
{
    switch (message) {
    case WM_PAINT:
        ::ValidateRect(window, nullptr);
        return 0;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, SubclassProc, id);
        reinterpret_cast<CSimpleHostWindowView*>(self)->m_hWnd = nullptr;
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
