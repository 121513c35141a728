#pragma once
#include <windows.h>

// Milliseconds since construction or the last Restart, from the performance counter. A system
// that reports no counter frequency gets the millisecond tick count instead, so the reading
// never divides by zero.
class CStopwatch {
public:
    CStopwatch();
    void Restart() { m_start = Ticks(); }
    double Milliseconds() const;

private:
    LONGLONG Ticks() const;

    LONGLONG m_perSecond = 0;  // 0: no performance counter
    LONGLONG m_start = 0;
};
