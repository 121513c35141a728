#pragma once
#include <windows.h>
#include <string>

// The device control block of an RS485 port: the settings text (as BuildCommDCB reads it) with
// binary mode, RTS and DTR held on and no flow control, whatever the text says. False when the
// text cannot be read (the forced fields are set all the same).
bool BuildPortDcb(const std::wstring& settings, DCB& dcb);
