#include "AlarmBand.h"
#include "Mp3Format.h"
#include "Mp3Player.h"
#include "ResourceFiles.h"
#include "ScratchDir.h"
#include "SoundResource.h"
#include "TextConv.h"
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>

namespace {

std::string ClipResource()
{
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_ALARM_CLIP), "MP3");
    const char* data = found ? static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))) : nullptr;
    return data ? std::string(data, ::SizeofResource(nullptr, found)) : std::string();
}

const WAVEFORMATEX* Mp3Format(const std::vector<unsigned char>& block)
{
    return reinterpret_cast<const WAVEFORMATEX*>(block.data());
}

// Whether a wave-out device here takes the clip's format (the rig has none).
bool DeviceTakesMp3()
{
    const std::vector<unsigned char> block = MakeMp3Format();
    return ::waveOutOpen(nullptr, WAVE_MAPPER, Mp3Format(block), 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

// One conversion step; returns the PCM bytes produced and advances `used` over the source.
size_t Convert(HACMSTREAM stream, const std::string& source, size_t& used, std::vector<short>& pcm, DWORD flags)
{
    std::vector<char> out(1 << 18);
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = reinterpret_cast<LPBYTE>(const_cast<char*>(source.data() + used));
    header.cbSrcLength = DWORD(std::min<size_t>(source.size() - used, 4096));
    header.pbDst = reinterpret_cast<LPBYTE>(out.data());
    header.cbDstLength = DWORD(out.size());
    if (::acmStreamPrepareHeader(stream, &header, 0) != 0)
        return 0;
    ::acmStreamConvert(stream, &header, flags);
    ::acmStreamUnprepareHeader(stream, &header, 0);
    used += header.cbSrcLengthUsed;
    const short* samples = reinterpret_cast<const short*>(out.data());
    pcm.insert(pcm.end(), samples, samples + header.cbDstLengthUsed / sizeof(short));
    return header.cbDstLengthUsed;
}

}  // namespace

TEST(Mp3Player, CodecDecodesTheClipWithThePlayersFormat)
{
    const std::string clip = ClipResource();
    ASSERT_FALSE(clip.empty());
    const std::vector<unsigned char> block = MakeMp3Format();
    ASSERT_GE(block.size(), sizeof(MPEGLAYER3WAVEFORMAT));
    WAVEFORMATEX pcmFormat{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    HACMSTREAM stream = nullptr;
    ASSERT_EQ(::acmStreamOpen(&stream, nullptr, const_cast<WAVEFORMATEX*>(Mp3Format(block)), &pcmFormat, nullptr, 0,
                              0, ACM_STREAMOPENF_NONREALTIME), 0u);
    std::vector<short> pcm;
    size_t used = 0;
    for (int step = 0; step < 1000 && used < clip.size(); ++step)
        Convert(stream, clip, used, pcm, ACM_STREAMCONVERTF_BLOCKALIGN);
    for (int step = 0; step < 100 && Convert(stream, clip, used, pcm, ACM_STREAMCONVERTF_END) > 0; ++step) {
    }
    ::acmStreamClose(stream, 0);

    // About 1.8 s of stereo samples, and a tone rather than silence.
    EXPECT_GT(pcm.size(), size_t(1.5 * 44100 * 2));
    EXPECT_LT(pcm.size(), size_t(2.2 * 44100 * 2));
    short loudest = 0;
    for (short s : pcm)
        loudest = std::max<short>(loudest, short(std::abs(s)));
    EXPECT_GT(loudest, 8000);
}

TEST(Mp3Player, CallbackStatesDriveTheRestartRule)
{
    CMp3Player player;
    EXPECT_EQ(player.GetState(), CMp3Player::Closed);
    auto driver = [&](UINT message) { CMp3Player::WaveOutProc(nullptr, message, reinterpret_cast<DWORD_PTR>(&player), 0, 0); };

    driver(WOM_OPEN);
    EXPECT_EQ(player.GetState(), CMp3Player::DeviceOpen);
    player.Play(L"unused.mp3", 1);
    EXPECT_EQ(player.GetState(), CMp3Player::Playing);
    player.Play(L"unused.mp3", 1);  // still playing: not restarted
    EXPECT_EQ(player.GetState(), CMp3Player::Playing);
    driver(WOM_DONE);
    EXPECT_EQ(player.GetState(), CMp3Player::ClipFinished);
    player.Play(L"unused.mp3", 1);  // finished: played again
    EXPECT_EQ(player.GetState(), CMp3Player::Playing);
    driver(WOM_CLOSE);
    player.Play(L"missing.mp3", 1);  // closed: opens again, and the file is not there
    EXPECT_EQ(player.GetState(), CMp3Player::Closed);
}

TEST(Mp3Player, WithoutDeviceStaysClosedAndTriesAgain)
{
    if (DeviceTakesMp3())
        GTEST_SKIP() << "a wave-out device is present";
    CScratchDir dir;
    CResourceFiles files;
    const std::wstring path = AnsiToWide(std::string(files.FilePath("Sound")), CP_THREAD_ACP);
    CMp3Player player;
    player.Play(path.c_str(), 1);
    EXPECT_EQ(player.GetState(), CMp3Player::Closed);
    player.Play(path.c_str(), 1);
    EXPECT_EQ(player.GetState(), CMp3Player::Closed);
}

TEST(Mp3Player, WithDevicePlaysToTheEndThenAgain)
{
    if (!DeviceTakesMp3())
        GTEST_SKIP() << "no wave-out device for MPEG Layer-3";
    CScratchDir dir;
    CResourceFiles files;
    const std::wstring path = AnsiToWide(std::string(files.FilePath("Sound")), CP_THREAD_ACP);
    CMp3Player player;
    player.Play(path.c_str(), 1);
    EXPECT_EQ(player.GetState(), CMp3Player::Playing);
    for (int i = 0; i < 200 && player.GetState() != CMp3Player::ClipFinished; ++i)
        ::Sleep(100);
    EXPECT_EQ(player.GetState(), CMp3Player::ClipFinished);
    player.Play(path.c_str(), 1);
    EXPECT_EQ(player.GetState(), CMp3Player::Playing);
}

TEST(Mp3Player, SoundAlarmExtractsTheClipThenPlaysIt)
{
    CScratchDir dir;
    CResourceFiles files;
    CMp3Player player;
    SoundAlarm(files, player);
    EXPECT_NE(::GetFileAttributesW(L"cartoon.mp3"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(player.GetState(), DeviceTakesMp3() ? CMp3Player::Playing : CMp3Player::Closed);
}
