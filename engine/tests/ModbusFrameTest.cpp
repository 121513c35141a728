#include "ModbusFrame.h"
#include <gtest/gtest.h>

namespace {
CFrameRecord Frame(std::initializer_list<uint8_t> bytes)
{
    CFrameRecord f;
    for (uint8_t b : bytes)
        f.data[f.count++] = b;
    return f;
}

const CFrameRecord kReadHolding = Frame({0x01, 0x03, 0x00, 0x04, 0x00, 0x01});
}  // namespace

TEST(ModbusFrame, CrcIsAppendedLowByteFirst)
{
    CFrameRecord link = Frame({0x00, 0x08, 0x00, 0x20, 0x00, 0x01});
    ModbusAppendCrc(link);
    ASSERT_EQ(link.count, 8);
    EXPECT_EQ(link.data[6], 0x21);
    EXPECT_EQ(link.data[7], 0xD0);

    CFrameRecord iva = Frame({0x01, 0x19, 0x02, 0x00});
    ModbusAppendCrc(iva);
    ASSERT_EQ(iva.count, 6);
    EXPECT_EQ(iva.data[4], 0xD1);
    EXPECT_EQ(iva.data[5], 0x7F);
}

TEST(ModbusFrame, ReplyNeedsItsCrcFromFiveBytesOn)
{
    EXPECT_TRUE(ModbusCheckReply(kReadHolding, Frame({0x01, 0x03, 0x02, 0x04, 0xD2, 0x3A, 0xD9})));
    EXPECT_FALSE(ModbusCheckReply(kReadHolding, Frame({0x01, 0x03, 0x02, 0x04, 0xD2, 0xD9, 0x3A})));
    EXPECT_FALSE(ModbusCheckReply(kReadHolding, Frame({0x01, 0x03, 0x02, 0x04, 0xD3})));
    EXPECT_TRUE(ModbusCheckReply(kReadHolding, Frame({0x01, 0x03, 0x55})));  // too short to check
    EXPECT_TRUE(ModbusCheckReply(kReadHolding, Frame({})));                  // a silent device
}

TEST(ModbusFrame, ExceptionReplyFailsEvenWithARightCrc)
{
    EXPECT_FALSE(ModbusCheckReply(kReadHolding, Frame({0x01, 0x83, 0x02, 0xC0, 0xF1})));
    // An exception to another function is not this request's exception.
    EXPECT_TRUE(ModbusCheckReply(Frame({0x01, 0x06}), Frame({0x01, 0x83, 0x02, 0xC0, 0xF1})));
}

TEST(ModbusFrame, CountsOutsideTheRecordWriteAndReadNothingBeyondIt)
{
    CFrameRecord full;
    full.count = 255;
    ModbusAppendCrc(full);
    EXPECT_EQ(full.count, 255);

    CFrameRecord reply;
    reply.count = 300;
    EXPECT_FALSE(ModbusCheckReply(kReadHolding, reply));
}
