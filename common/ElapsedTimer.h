#pragma once
#include <windows.h>

// Milliseconds since the last Restart, from the performance counter.
class CElapsedTimer {
public:
    CElapsedTimer() { Restart(); }
    void Restart() { ::QueryPerformanceCounter(&m_start); }
    double Milliseconds() const
    {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - m_start.QuadPart) * 1000.0 / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start;
};
