#include "DconBaud.h"

namespace {
const unsigned kFirstCode = 3;
const unsigned kSpeedCount = sizeof kDconSpeeds / sizeof kDconSpeeds[0];
}  // namespace

int DconBaudCode(unsigned baud)
{
    for (unsigned i = 0; i < kSpeedCount; ++i)
        if (kDconSpeeds[i] == baud)
            return int(kFirstCode + i);
    return -1;
}

unsigned DconBaudOfCode(unsigned code)
{
    return code >= kFirstCode && code < kFirstCode + kSpeedCount ? kDconSpeeds[code - kFirstCode] : 0;
}
