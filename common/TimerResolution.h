#pragma once
#include <windows.h>
#include <mmsystem.h>

// Asks for the 1 ms system timer while it lives. With the default tick of about 15.6 ms a
// Sleep(20) lasts about 31 ms on Windows, and a read time-out of 1 ms up to a whole tick.
class CTimerResolution {
public:
    CTimerResolution() : m_set(::timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~CTimerResolution()
    {
        if (m_set)
            ::timeEndPeriod(1);
    }
    CTimerResolution(const CTimerResolution&) = delete;
    CTimerResolution& operator=(const CTimerResolution&) = delete;

private:
    bool m_set;
};
