#include "DialogImpl.h"
#include "AppModule.h"

HWND CDialogImpl::Create(HWND parent, int resourceId)
{
    return ::CreateDialogParamW(g_module.Instance(), MAKEINTRESOURCEW(resourceId), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogImpl::DoModal(HWND owner, int resourceId)
{
    return ::DialogBoxParamW(g_module.Instance(), MAKEINTRESOURCEW(resourceId), owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

void CDialogImpl::CenterWindow()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    LONG width = window.right - window.left, height = window.bottom - window.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    x = x + width > area.right ? area.right - width : x;
    y = y + height > area.bottom ? area.bottom - height : y;
    x = x < area.left ? area.left : x;
    y = y < area.top ? area.top : y;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialogImpl::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogImpl*>(lParam);
        self->m_hWnd = window;
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    if (!self)
        return FALSE;
    LRESULT result = 0;
    bool handled = self->ProcessWindowMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY)
        self->m_hWnd = nullptr;
    if (!handled)
        return FALSE;
    // WM_INITDIALOG returns its focus decision directly; other results go through DWLP_MSGRESULT.
    if (message == WM_INITDIALOG)
        return INT_PTR(result);
    ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}
