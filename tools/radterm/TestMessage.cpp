#include "TestMessage.h"
#include "Crc16.h"

void FillTestMessage(uint8_t* message)
{
    message[0] = 123;
    message[2] = 1;
    message[6] = 0x09;
    uint16_t count = uint16_t(message[2] | (message[3] << 8));
    uint16_t crc = CRC16(message + 6, count);
    message[4] = uint8_t(crc & 0xFF);
    message[5] = uint8_t(crc >> 8);
    message[8197] = 0xFA;
}

float NetSpeed(float seconds)
{
    return 16400 / seconds / 1024;
}

float GrossSpeed(int64_t blocks, float seconds)
{
    return (blocks * 10 + 8200) * 2 / seconds / 1024;
}
