#include "Crc16.h"
#include <gtest/gtest.h>

TEST(Crc16, CheckValueAndExampleFrames)
{
    const uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(CRC16(text, 9), 0x4B37);

    const uint8_t iva[] = {0x01, 0x19, 0x02, 0x00};
    EXPECT_EQ(CRC16(iva, 4), 0x7FD1);  // D1 7F on the wire

    const uint8_t link[] = {0x00, 0x08, 0x00, 0x20, 0x00, 0x01};
    EXPECT_EQ(CRC16(link, 6), 0xD021);  // 21 D0 on the wire

    EXPECT_EQ(CRC16(text, 0), 0xFFFF);
}

TEST(Crc16, FrameWithItsCrcAppendedChecksToZero)
{
    const uint8_t frame[] = {0x01, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64};
    uint16_t crc = CRC16(frame, 7);
    uint8_t whole[9] = {0x01, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64, uint8_t(crc & 0xFF), uint8_t(crc >> 8)};
    EXPECT_EQ(CRC16(whole, 9), 0);
}
