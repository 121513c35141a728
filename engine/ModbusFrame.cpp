#include "ModbusFrame.h"
#include "Crc16.h"

void ModbusAppendCrc(CFrameRecord& frame)
{
    if (frame.count < 0 || frame.count > int(sizeof frame.data) - 2)
        return;  // no room for the CRC: the frame goes out as it is and its reply will not match
    uint16_t crc = CRC16(frame.data, uint16_t(frame.count));
    frame.data[frame.count] = uint8_t(crc & 0xFF);
    frame.data[frame.count + 1] = uint8_t(crc >> 8);
    frame.count += 2;
}

bool ModbusCheckReply(const CFrameRecord& request, const CFrameRecord& reply)
{
    if (reply.count > int(sizeof reply.data))
        return false;
    bool crcGood = true;
    if (reply.count >= 5) {
        uint16_t crc = CRC16(reply.data, uint16_t(reply.count - 2));
        crcGood = crc == reply.data[reply.count - 1] * 256 + reply.data[reply.count - 2];
    }
    bool exception = reply.data[1] == uint8_t(request.data[1] + 0x80);
    return crcGood && !exception;
}
