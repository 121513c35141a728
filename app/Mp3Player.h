#pragma once
#include "Handle.h"
#include "MappedView.h"
#include "WaveOut.h"
#include <windows.h>
#include <mmsystem.h>
#include <atomic>
#include <vector>

// Plays the alarm clip: the whole MP3 file, memory-mapped and undecoded, goes as one buffer to
// the wave mapper, which decodes it through the platform's MPEG Layer-3 codec. A clip that has
// started plays to its end; the next Play after the end plays it again from the start.
class CMp3Player {
public:
    enum State : int { Playing = 1, DeviceOpen = 3, Closed = 4, ClipFinished = 5 };

    CMp3Player();
    CMp3Player(const CMp3Player&) = delete;
    CMp3Player& operator=(const CMp3Player&) = delete;

    // Starts the clip unless it is playing. The file and the device are opened by the first
    // call that finds them usable and stay open for the player's life; until then every call
    // tries again. `path` and `loops` count only for that call.
    void Play(const wchar_t* path, int loops);
    int GetState() const { return m_state; }

    // The wave-out callback: it only records the state (it runs on a driver thread).
    static void CALLBACK WaveOutProc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR);

private:
    bool MapClip(const wchar_t* path);
    void Start(int loops);

    // Destroyed in reverse: the device goes first, while the state, header and view still exist.
    std::atomic<int> m_state{Closed};
    std::vector<unsigned char> m_format;
    CHandle m_file;
    CHandle m_mapping;
    CMappedView m_view;
    DWORD m_size = 0;
    WAVEHDR m_header{};
    CWaveOut m_device;
};
