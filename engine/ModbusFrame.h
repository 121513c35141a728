#pragma once
#include "Transport.h"

// Appends the CRC-16 of the frame's bytes, low byte first.
void ModbusAppendCrc(CFrameRecord& frame);

// The check of a binary exchange: a reply of 5 bytes or more must end with the CRC of the rest,
// and no reply may be the exception reply to the request's function (function + 0x80). Shorter
// replies, the empty one included, pass the CRC test.
bool ModbusCheckReply(const CFrameRecord& request, const CFrameRecord& reply);
