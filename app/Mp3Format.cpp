#include "Mp3Format.h"
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <algorithm>

std::vector<unsigned char> MakeMp3Format()
{
    DWORD largest = 0;
    ::acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest);
    std::vector<unsigned char> block(std::max<size_t>(largest, sizeof(MPEGLAYER3WAVEFORMAT)));
    auto* f = reinterpret_cast<MPEGLAYER3WAVEFORMAT*>(block.data());
    f->wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    f->wfx.nChannels = 2;
    f->wfx.nSamplesPerSec = 44100;
    f->wfx.nAvgBytesPerSec = 0x4000;
    f->wfx.nBlockAlign = 1;
    f->wfx.wBitsPerSample = 0;
    f->wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    f->wID = MPEGLAYER3_ID_MPEG;
    f->fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    f->nBlockSize = 522;
    f->nFramesPerBlock = 1;
    f->nCodecDelay = 1393;
    return block;
}
