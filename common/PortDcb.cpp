#include "PortDcb.h"

// RS485 converters take their power and direction from the modem lines.
bool BuildPortDcb(const std::wstring& settings, DCB& dcb)
{
    dcb = DCB{};
    dcb.DCBlength = sizeof dcb;
    bool ok = ::BuildCommDCBW(settings.c_str(), &dcb) != FALSE;
    dcb.fBinary = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    return ok;
}
