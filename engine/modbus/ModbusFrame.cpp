#include "ModbusFrame.h"
#include "Crc16.h"

bool ModbusAppendCrc(CFrameRecord& frame)
{
    if (frame.count < 0 || frame.count > int(sizeof frame.data) - 2)
        return false;
    uint16_t crc = CRC16(frame.data, uint16_t(frame.count));
    frame.data[frame.count] = uint8_t(crc & 0xFF);
    frame.data[frame.count + 1] = uint8_t(crc >> 8);
    frame.count += 2;
    return true;
}

bool ModbusCheckReply(const CFrameRecord& request, const CFrameRecord& reply)
{
    if (reply.count <= 0 || reply.count > int(sizeof reply.data))
        return false;
    bool crcGood = reply.count < 5 || ModbusEndsInCrc(reply.data, size_t(reply.count));
    bool exception = reply.count >= 2 && reply.data[1] == uint8_t(request.data[1] + kModbusException);
    return crcGood && !exception;
}

bool ModbusAnswers(const CFrameRecord& request, const CFrameRecord& reply)
{
    return reply.count >= 2 && reply.data[0] == request.data[0] && reply.data[1] == request.data[1];
}

bool ModbusEndsInCrc(const unsigned char* bytes, size_t count)
{
    if (count < 5 || count > 0xFFFF)
        return false;
    return CRC16(bytes, uint16_t(count - 2)) == uint16_t(bytes[count - 1] << 8 | bytes[count - 2]);
}

namespace {
size_t ModbusReplyLength(const unsigned char* bytes, size_t count)
{
    if (count < 3)
        return 0;
    if (bytes[1] & kModbusException)
        return 5;
    switch (bytes[1]) {
    case kModbusReadHolding:
    case kModbusIva8Read: return 5 + size_t(bytes[2]);
    case kModbusWriteRegister:
    case kModbusDiagnostics: return 8;
    default: return 0;
    }
}
}  // namespace

bool ModbusReplyWhole(const unsigned char* bytes, size_t count)
{
    return count == ModbusReplyLength(bytes, count) && ModbusEndsInCrc(bytes, count);
}

bool DecodeIva8Reading(const CFrameRecord& reply, float& reading)
{
    if (reply.count < kIva8ReplyBytes)
        return false;
    auto number = int16_t(uint16_t((reply.data[8] | 0x40) << 8 | reply.data[9]));
    reading = float(number * 0.01);
    return true;
}

bool DecodeRrg12Readings(const CFrameRecord& reply, float& first, float& second)
{
    if (reply.count < kRrg12ReplyBytes)
        return false;
    first = float((reply.data[3] << 8 | reply.data[4]) / 100.0);
    second = float((reply.data[5] << 8 | reply.data[6]) / 100.0);
    return true;
}

uint16_t Rrg12SetPointValue(double setPoint)
{
    if (setPoint <= 0.0)
        return 0;
    if (setPoint >= 655.35)
        return 65535;
    return uint16_t(float(setPoint) * 100.0f);
}
