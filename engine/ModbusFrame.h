#pragma once
#include "Transport.h"

// Appends the CRC-16 to a request, low byte first; false (nothing changed) when the record has
// no room for it.
bool ModbusAppendCrc(CFrameRecord& frame);

// The reply check of a binary exchange: a reply of 5 bytes or more must end in the CRC of the
// rest, and no reply may be the exception answer to the request's function.
bool ModbusCheckReply(const CFrameRecord& request, const CFrameRecord& reply);

// The IVA-8 reading in reply bytes 8 and 9: the high byte always carries bit 6, the pair is a
// signed number of hundredths. False when the reply is too short to hold it.
bool DecodeIva8Reading(const CFrameRecord& reply, float& reading);

// The two RRG-12 registers of a read-holding reply (bytes 3-4 and 5-6), unsigned hundredths.
bool DecodeRrg12Readings(const CFrameRecord& reply, float& first, float& second);
