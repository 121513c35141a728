#include "MessageLoop.h"
#include <algorithm>

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter)
{
    m_filters.erase(std::remove(m_filters.begin(), m_filters.end(), filter), m_filters.end());
}

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler)
{
    m_idleHandlers.erase(std::remove(m_idleHandlers.begin(), m_idleHandlers.end(), handler), m_idleHandlers.end());
}

int CMessageLoop::Run()
{
    bool idle = true;
    MSG msg{};
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle())
                idle = false;
        }
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (!got)
            break;
        if (!PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg))
            idle = true;
    }
    return int(msg.wParam);
}

bool CMessageLoop::PreTranslateMessage(MSG& msg)
{
    // The last registered filter comes first; a filter may remove itself while it runs.
    for (size_t i = m_filters.size(); i > 0; --i) {
        if (i <= m_filters.size() && m_filters[i - 1]->PreTranslateMessage(msg))
            return true;
    }
    return false;
}

bool CMessageLoop::OnIdle()
{
    bool more = false;
    for (size_t i = 0; i < m_idleHandlers.size(); ++i)
        more = m_idleHandlers[i]->OnIdle() || more;
    return more;
}

bool CMessageLoop::IsIdleMessage(const MSG& msg)
{
    switch (msg.message) {
    case WM_PAINT:
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
    case 0x0118:  // the system timer of the caret blink
        return false;
    default:
        return true;
    }
}
