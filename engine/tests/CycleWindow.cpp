#include "CycleWindow.h"
#include "Controller.h"

CCycleWindow::CCycleWindow()
    : m_window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr))
{
}

CCycleWindow::~CCycleWindow() { ::DestroyWindow(m_window); }

void CCycleWindow::Pump(int count, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    while (timers + failures < count && ::GetTickCount() - start < milliseconds) {
        MSG msg;
        while (::PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE)) {
            if (msg.message == CController::PassDoneMessage())
                ++timers;
            else if (msg.message == WM_CYCLE_FAILED)
                ++failures;
        }
        ::Sleep(5);
    }
}

bool CCycleWindow::RunPasses(CController& controller, int count, DWORD milliseconds)
{
    if (!controller.StartCycle(m_window))
        return false;
    Pump(count, milliseconds);
    controller.StopCycle();
    return true;
}
