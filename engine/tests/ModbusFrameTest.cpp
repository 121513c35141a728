#include "Crc16.h"
#include "ModbusFrame.h"
#include "ModbusRtu.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
CFrameRecord Frame(const std::vector<uint8_t>& bytes)
{
    CFrameRecord frame;
    for (uint8_t b : bytes)
        frame.data[frame.count++] = b;
    return frame;
}

std::vector<uint8_t> Bytes(const CFrameRecord& frame) { return {frame.data, frame.data + frame.count}; }
}  // namespace

TEST(ModbusFrame, BuildersWithTheirCrcGiveTheKnownFrames)
{
    CFrameRecord frame;
    frame.data[200] = 0x55;
    CModBusRtu::BuildLinkTest(frame);
    EXPECT_EQ(frame.data[200], 0);
    ASSERT_TRUE(ModbusAppendCrc(frame));
    EXPECT_EQ(Bytes(frame), (std::vector<uint8_t>{0x00, 0x08, 0x00, 0x20, 0x00, 0x01, 0x21, 0xD0}));

    CModBusRtu::BuildIva8Read(frame, 0x0200);
    EXPECT_EQ(CRC16(frame.data, 4), 0x7FD1);
    ASSERT_TRUE(ModbusAppendCrc(frame));
    EXPECT_EQ(Bytes(frame), (std::vector<uint8_t>{0x01, 0x19, 0x02, 0x00, 0xD1, 0x7F}));

    CModBusRtu::BuildReadHolding(frame, 7, 4, 2);
    EXPECT_EQ(Bytes(frame), (std::vector<uint8_t>{0x07, 0x03, 0x00, 0x04, 0x00, 0x02}));
    CModBusRtu::BuildWriteRegister(frame, 7, 4, 1234);
    EXPECT_EQ(Bytes(frame), (std::vector<uint8_t>{0x07, 0x06, 0x00, 0x04, 0x04, 0xD2}));
}

TEST(ModbusFrame, AppendCrcRefusesAFullRecord)
{
    CFrameRecord frame;
    frame.count = 255;
    EXPECT_FALSE(ModbusAppendCrc(frame));
    EXPECT_EQ(frame.count, 255);
}

TEST(ModbusFrame, ReplyCheck)
{
    CFrameRecord request = Frame({0x01, 0x03, 0x00, 0x04, 0x00, 0x02});
    ModbusAppendCrc(request);

    CFrameRecord good = Frame({0x01, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64});
    ModbusAppendCrc(good);
    EXPECT_TRUE(ModbusCheckReply(request, good));

    CFrameRecord spoilt = good;
    spoilt.data[3] ^= 1;
    EXPECT_FALSE(ModbusCheckReply(request, spoilt));

    EXPECT_FALSE(ModbusCheckReply(request, Frame({0x01, 0x83, 0x02, 0xC0, 0xF1})));  // exception, good CRC
    EXPECT_TRUE(ModbusCheckReply(request, Frame({0x01, 0x03, 0x77})));                // too short to test
    EXPECT_FALSE(ModbusCheckReply(request, CFrameRecord()));                           // a silent device
    EXPECT_FALSE(ModbusCheckReply(request, Frame({0x01, 0x83})));
    CFrameRecord one = Frame({0x01, 0x83});
    one.count = 1;  // the byte after a one-byte reply is no part of it
    EXPECT_TRUE(ModbusCheckReply(request, one));
}

// A serial exchange ends at a whole reply: the length its function gives, with its CRC.
TEST(ModbusFrame, AReplyIsWholeAtTheLengthOfItsFunctionWithItsCrc)
{
    auto whole = [](std::vector<uint8_t> bytes, bool withCrc = true) {
        CFrameRecord frame = Frame(bytes);
        if (withCrc)
            ModbusAppendCrc(frame);
        return ModbusReplyWhole(frame.data, size_t(frame.count));
    };
    EXPECT_TRUE(whole({0x07, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64}));
    EXPECT_TRUE(whole({0x01, 0x19, 0x07, 0x02, 0x00, 0x00, 0x00, 0x00, 0x41, 0x2C}));
    EXPECT_TRUE(whole({0x07, 0x06, 0x00, 0x04, 0x03, 0xE8}));
    EXPECT_TRUE(whole({0x00, 0x08, 0x00, 0x20, 0x00, 0x01}));
    EXPECT_TRUE(whole({0x07, 0x83, 0x02}));
    // Ends in a good CRC, but the byte count asks for more: a read whose data holds its own CRC.
    EXPECT_FALSE(whole({0x07, 0x03, 0x06, 0x00, 0x00}));
    EXPECT_FALSE(whole({0x07, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64, 0x11, 0x22}, false));  // right length, bad CRC
    EXPECT_FALSE(whole({0x07, 0x11, 0x00}));                                           // a function never sent
    EXPECT_FALSE(whole({0x07, 0x03}, false));
}

// Another instrument's frame, late for its own exchange, can arrive whole with its CRC.
TEST(ModbusFrame, OnlyTheAskedInstrumentAnswers)
{
    CFrameRecord request = Frame({0x02, 0x03, 0x00, 0x04, 0x00, 0x02});
    EXPECT_TRUE(ModbusAnswers(request, Frame({0x02, 0x03, 0x04, 0x37, 0x37, 0x34, 0xAC})));
    EXPECT_FALSE(ModbusAnswers(request, Frame({0x01, 0x19, 0x07, 0x02, 0, 0, 0, 0, 0xAA, 0x33})));
    EXPECT_FALSE(ModbusAnswers(request, Frame({0x02, 0x06, 0x00, 0x04, 0x01, 0x00})));
    EXPECT_FALSE(ModbusAnswers(request, CFrameRecord()));
}

TEST(ModbusFrame, DecodesTheInstrumentReadings)
{
    CFrameRecord iva;
    iva.count = 12;
    iva.data[8] = 0x01;
    iva.data[9] = 0x2C;
    float reading = 0;
    ASSERT_TRUE(DecodeIva8Reading(iva, reading));
    EXPECT_FLOAT_EQ(reading, 166.84f);
    iva.data[8] = 0xC0;
    iva.data[9] = 0x00;
    ASSERT_TRUE(DecodeIva8Reading(iva, reading));
    EXPECT_FLOAT_EQ(reading, -163.84f);
    iva.count = 11;  // bytes 8 and 9 would be the CRC
    EXPECT_FALSE(DecodeIva8Reading(iva, reading));

    CFrameRecord rrg = Frame({0x01, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64});
    ModbusAppendCrc(rrg);
    float flow = 0, second = 0;
    ASSERT_TRUE(DecodeRrg12Readings(rrg, flow, second));
    EXPECT_FLOAT_EQ(flow, 10.0f);
    EXPECT_FLOAT_EQ(second, 1.0f);
    rrg.count = 8;
    EXPECT_FALSE(DecodeRrg12Readings(rrg, flow, second));
}

TEST(ModbusFrame, SetPointIsClampedToTheRegister)
{
    EXPECT_EQ(Rrg12SetPointValue(12.345f), 1234);
    EXPECT_EQ(Rrg12SetPointValue(-3.0), 0);
    EXPECT_EQ(Rrg12SetPointValue(700.0), 65535);
    EXPECT_EQ(Rrg12SetPointValue(1e30), 65535);
}

TEST(ModbusFrame, CountsOutsideTheRecordWriteAndReadNothingBeyondIt)
{
    CFrameRecord full;
    full.count = 255;
    ModbusAppendCrc(full);
    EXPECT_EQ(full.count, 255);

    CFrameRecord reply;
    reply.count = 300;
    EXPECT_FALSE(ModbusCheckReply(Frame({0x01, 0x03}), reply));
}
