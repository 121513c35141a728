#include "ScrollPane.h"
#include <algorithm>

void CScrollPane::SetContent(int height, int line)
{
    m_height = height;
    m_line = std::max(line, 1);
    ScrollTo(m_position);
}

bool CScrollPane::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_VSCROLL:
        OnScroll(LOWORD(wParam));
        return true;
    case WM_MOUSEWHEEL:
        OnWheel(short(HIWORD(wParam)));
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_SETFOCUS)
            ShowControl(reinterpret_cast<HWND>(lParam));
        return false;
    default:
        return false;
    }
}

void CScrollPane::OnScroll(int request)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(m_hWnd, SB_VERT, &info);
    switch (request) {
    case SB_LINEUP: ScrollTo(m_position - m_line); break;
    case SB_LINEDOWN: ScrollTo(m_position + m_line); break;
    case SB_PAGEUP: ScrollTo(m_position - PageHeight()); break;
    case SB_PAGEDOWN: ScrollTo(m_position + PageHeight()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(info.nTrackPos); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(m_height); break;
    }
}

void CScrollPane::OnWheel(short delta)
{
    ScrollTo(m_position - delta / WHEEL_DELTA * 3 * m_line);
}

void CScrollPane::ShowControl(HWND control)
{
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.top < 0)
        ScrollTo(m_position + rect.top);
    else if (rect.bottom > PageHeight())
        ScrollTo(m_position + rect.bottom - PageHeight());
}

// The controls move with the content; the bar hides itself while everything fits.
void CScrollPane::ScrollTo(int position)
{
    position = std::max(0, std::min(position, m_height - PageHeight()));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(m_height - 1, 0);
    info.nPage = UINT(PageHeight());
    info.nPos = position;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    if (position == m_position)
        return;
    ::ScrollWindowEx(m_hWnd, 0, m_position - position, nullptr, nullptr, nullptr, nullptr,
                     SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    m_position = position;
}

int CScrollPane::PageHeight() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    return client.bottom;
}
