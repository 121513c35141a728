#pragma once
#include <windows.h>
#include <mmsystem.h>

// Owns a wave-out device on the wave mapper and the one header prepared on it. Closing stops
// the playback first, so the driver lets go of the header before it is unprepared.
class CWaveOut {
public:
    CWaveOut() = default;
    ~CWaveOut() { Close(); }
    CWaveOut(const CWaveOut&) = delete;
    CWaveOut& operator=(const CWaveOut&) = delete;

    bool Open(const WAVEFORMATEX* format, DWORD_PTR callback, DWORD_PTR instance)
    {
        Close();
        if (::waveOutOpen(&m_h, WAVE_MAPPER, format, callback, instance, CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
            m_h = nullptr;
        return m_h != nullptr;
    }
    void Prepare(WAVEHDR* header)
    {
        if (::waveOutPrepareHeader(m_h, header, sizeof *header) == MMSYSERR_NOERROR)
            m_prepared = header;
    }
    void Close()
    {
        if (!m_h)
            return;
        ::waveOutBreakLoop(m_h);
        ::waveOutReset(m_h);
        if (m_prepared)
            ::waveOutUnprepareHeader(m_h, m_prepared, sizeof *m_prepared);
        ::waveOutClose(m_h);
        m_h = nullptr;
        m_prepared = nullptr;
    }
    operator HWAVEOUT() const { return m_h; }
    bool IsOpen() const { return m_h != nullptr; }

private:
    HWAVEOUT m_h = nullptr;
    WAVEHDR* m_prepared = nullptr;
};
