#pragma once
#include <windows.h>

class CController;

// A message-only window on the test thread that counts what the acquisition cycle posts.
class CCycleWindow {
public:
    CCycleWindow();
    ~CCycleWindow();
    CCycleWindow(const CCycleWindow&) = delete;
    CCycleWindow& operator=(const CCycleWindow&) = delete;
    operator HWND() const { return m_window; }

    // Pumps messages until `count` of either kind arrived in all or the time is out.
    void Pump(int count, DWORD milliseconds);
    // Starts the cycle, pumps until `count` messages arrived (or the time is out) and stops it;
    // false when the cycle did not start.
    bool RunPasses(CController& controller, int count, DWORD milliseconds = 30000);

    int timers = 0;
    int failures = 0;

private:
    HWND m_window;
};
