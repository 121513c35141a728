#pragma once
#include <windows.h>
#include <mmsystem.h>

// A periodic multimedia timer that sets an auto-reset event; killed when stopped or destroyed.
// A tick that comes while its thread is busy stays set until the thread waits again: a pulsed
// event would lose it, and under load every few hundred milliseconds a tick went missing.
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
                              TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
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
