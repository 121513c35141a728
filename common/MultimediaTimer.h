#pragma once
#include <windows.h>
#include <mmsystem.h>

// A periodic multimedia timer that pulses an event; killed when stopped or destroyed. A pulse
// that finds nobody waiting on the event is lost.
class CMultimediaTimer {
public:
    CMultimediaTimer() = default;
    ~CMultimediaTimer() { Stop(); }
    CMultimediaTimer(const CMultimediaTimer&) = delete;
    CMultimediaTimer& operator=(const CMultimediaTimer&) = delete;

    bool Start(UINT periodMs, HANDLE event)
    {
        Stop();
        m_id = ::timeSetEvent(periodMs, 0, reinterpret_cast<LPTIMECALLBACK>(event), 0,
                              TIME_PERIODIC | TIME_CALLBACK_EVENT_PULSE);
        return m_id != 0;
    }
    void Stop()
    {
        if (m_id != 0)
            ::timeKillEvent(m_id);
        m_id = 0;
    }

private:
    UINT m_id = 0;
};
