#pragma once
#include <vector>

// The format block handed to the wave mapper for the alarm clip: an MPEGLAYER3WAVEFORMAT
// (MPEG-1 Layer III, 44.1 kHz stereo), in a buffer as large as the largest format of any
// installed codec.
std::vector<unsigned char> MakeMp3Format();
