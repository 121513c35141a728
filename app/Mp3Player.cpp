#include "Mp3Player.h"
#include "Mp3Format.h"

CMp3Player::CMp3Player() : m_format(MakeMp3Format())
{
}

void CMp3Player::Play(const wchar_t* path, int loops)
{
    const int state = m_state;
    if (state != Closed) {
        if (state != Playing) {
            m_state = Playing;
            ::waveOutWrite(m_device, &m_header, sizeof m_header);
        }
        return;
    }
    if (!m_view.Get() && !MapClip(path))
        return;
    // Without a device (none installed, no MP3 codec) the state stays closed, so a device
    // plugged in later is found by the next alarm.
    if (!m_device.Open(reinterpret_cast<const WAVEFORMATEX*>(m_format.data()),
                       reinterpret_cast<DWORD_PTR>(&WaveOutProc), reinterpret_cast<DWORD_PTR>(this)))
        return;
    Start(loops);
}

bool CMp3Player::MapClip(const wchar_t* path)
{
    m_file.Attach(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (m_file.IsValid()) {
        m_mapping.Attach(::CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr));
        m_size = ::GetFileSize(m_file, nullptr);
        if (m_mapping.IsValid() && m_view.Map(m_mapping, FILE_MAP_READ, m_size))
            return true;
    }
    // An empty or unreadable file: let go of it, so that a good clip put there later is used.
    m_mapping.Close();
    m_file.Close();
    return false;
}

// The device is paused while the header goes in. The state is set before the restart: a clip
// that ends at once must leave "finished" behind, not be overwritten by "playing".
void CMp3Player::Start(int loops)
{
    ::waveOutReset(m_device);
    ::waveOutSetVolume(m_device, 0xFFFFFFFF);
    ::waveOutPause(m_device);
    m_header = WAVEHDR{};
    m_header.lpData = static_cast<LPSTR>(m_view.Get());
    m_header.dwBufferLength = m_size;
    m_header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    m_header.dwLoops = DWORD(loops);
    m_device.Prepare(&m_header);
    ::waveOutWrite(m_device, &m_header, sizeof m_header);
    m_state = Playing;
    ::waveOutRestart(m_device);
}

void CALLBACK CMp3Player::WaveOutProc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
{
    auto* player = reinterpret_cast<CMp3Player*>(instance);
    switch (message) {
    case WOM_OPEN: player->m_state = DeviceOpen; break;
    case WOM_CLOSE: player->m_state = Closed; break;
    case WOM_DONE: player->m_state = ClipFinished; break;
    }
}
