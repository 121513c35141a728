#pragma once
#include <windows.h>

// Owns a window: destroyed with the owner unless it is gone already.
class CWindow {
public:
    CWindow() = default;
    explicit CWindow(HWND window) : m_window(window) {}
    ~CWindow() { Destroy(); }
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;
    operator HWND() const { return m_window; }
    void Attach(HWND window) { Destroy(); m_window = window; }
    // The window was destroyed from outside (its parent went first).
    void Detach() { m_window = nullptr; }
    void Destroy()
    {
        if (m_window && ::IsWindow(m_window))
            ::DestroyWindow(m_window);
        m_window = nullptr;
    }

private:
    HWND m_window = nullptr;
};
