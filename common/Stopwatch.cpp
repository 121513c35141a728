#include "Stopwatch.h"

CStopwatch::CStopwatch()
{
    LARGE_INTEGER frequency{};
    if (::QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0)
        m_perSecond = frequency.QuadPart;
    Restart();
}

LONGLONG CStopwatch::Ticks() const
{
    if (m_perSecond == 0)
        return LONGLONG(::GetTickCount64());
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double CStopwatch::Milliseconds() const
{
    double elapsed = double(Ticks() - m_start);
    return m_perSecond > 0 ? elapsed * 1000.0 / double(m_perSecond) : elapsed;
}
