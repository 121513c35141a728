#pragma once
#include <cstddef>
#include <cstdint>

// A Modbus RTU frame: at most 256 meaningful bytes.
struct CFrameRecord {
    unsigned char data[256] = {};
    int count = 0;
};

// The function codes of the requests sent, and the bit an exception reply sets in its request's.
constexpr uint8_t kModbusReadHolding = 0x03;
constexpr uint8_t kModbusWriteRegister = 0x06;
constexpr uint8_t kModbusDiagnostics = 0x08;
constexpr uint8_t kModbusIva8Read = 0x19;  // the IVA-8's own
constexpr uint8_t kModbusException = 0x80;

// The broadcast address, which no instrument answers.
constexpr uint8_t kModbusBroadcast = 0x00;

// Appends the CRC-16 to a request, low byte first; false (nothing changed) when the record has
// no room for it.
bool ModbusAppendCrc(CFrameRecord& frame);

// The reply check of a binary exchange: an empty reply (a silent device) fails, a reply of 5
// bytes or more must end in the CRC of the rest, and no reply may be the exception answer to the
// request's function.
bool ModbusCheckReply(const CFrameRecord& request, const CFrameRecord& reply);

// Whether a checked reply answers the request: the same address and function code. Another
// instrument's frame that came late for its own exchange is no reply to this one.
bool ModbusAnswers(const CFrameRecord& request, const CFrameRecord& reply);

// Whether received bytes are a whole frame: 5 bytes or more, the last two the CRC of the rest.
bool ModbusEndsInCrc(const unsigned char* bytes, size_t count);

// Whether received bytes are a whole reply, so that a serial exchange need wait for no more: as
// long as its function gives (an exception 5 bytes; a read 5 and its byte count; a write or a
// diagnostic echo 8), ending in its CRC. A reply to any other function is never known whole.
bool ModbusReplyWhole(const unsigned char* bytes, size_t count);

// The shortest replies that hold the readings and, after them, their CRC.
constexpr int kIva8ReplyBytes = 12;
constexpr int kRrg12ReplyBytes = 9;

// The IVA-8 reading in reply bytes 8 and 9: the high byte always carries bit 6, the pair is a
// signed number of hundredths. False when the reply is too short to hold it and its CRC.
bool DecodeIva8Reading(const CFrameRecord& reply, float& reading);

// The two RRG-12 registers of a read-holding reply (bytes 3-4 and 5-6), unsigned hundredths.
// False when the reply is too short to hold them and their CRC.
bool DecodeRrg12Readings(const CFrameRecord& reply, float& first, float& second);

// The RRG-12 set point in hundredths, truncated: below 0 goes out as 0, above 655,35 as 65535.
// The caller sends nothing for a value that is not a number.
uint16_t Rrg12SetPointValue(double setPoint);
