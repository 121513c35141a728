#pragma once
#include <windows.h>

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

    int timers = 0;
    int failures = 0;

private:
    HWND m_window;
};
