#include "Crc16.h"
#include "PacketBlock.h"
#include "ReceiveSide.h"
#include "TestMessage.h"
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {
std::vector<uint8_t> Pattern(size_t length, uint8_t seed = 1)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = uint8_t(i * 7 + seed);
    return bytes;
}

std::vector<uint8_t> Wire(const std::vector<CBlock>& blocks)
{
    std::vector<uint8_t> wire;
    for (const CBlock& b : blocks)
        wire.insert(wire.end(), PacketWireBytes(b), PacketWireBytes(b) + PacketWireLength(b));
    return wire;
}

std::vector<uint8_t> TestMessage()
{
    std::vector<uint8_t> message(kTestMessageSize);
    FillTestMessage(message.data());
    return message;
}

// Feeds the wire bytes in reads of the given sizes, checking completion after each read.
size_t Feed(CReceiveSide& side, const std::vector<uint8_t>& wire, const std::vector<size_t>& reads)
{
    size_t from = 0, accepted = 0;
    for (size_t n : reads) {
        side.AddPacketBytes(wire.data() + from, n);
        from += n;
        accepted += side.CheckCompletion();
    }
    return accepted;
}
}  // namespace

TEST(PacketFragmentation, OneBlockUpTo246Bytes)
{
    auto data = Pattern(246);
    auto blocks = FragmentMessage(7, data.data(), data.size());
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(SentBlockCount(blocks), 0);
    EXPECT_EQ(PacketFlag(blocks[0]), kFlagOnly);
    EXPECT_EQ(PacketLength(blocks[0]), 246);
    EXPECT_EQ(PacketNumber(blocks[0]), 7);
    EXPECT_EQ(GetWord(blocks[0], 0), 0);
    EXPECT_EQ(GetWord(blocks[0], kPacketCrc), CRC16(data.data(), 246));
    EXPECT_TRUE(PacketCrcMatches(blocks[0]));
}

TEST(PacketFragmentation, MessagesOfSeveralBlocks)
{
    auto data = Pattern(247);
    auto blocks = FragmentMessage(1, data.data(), data.size());
    ASSERT_EQ(SentBlockCount(blocks), 2);
    EXPECT_EQ(PacketFlag(blocks[0]), kFlagMore);
    EXPECT_EQ(PacketFlag(blocks[1]), kFlagLast);
    EXPECT_EQ(PacketLength(blocks[1]), 1);
    EXPECT_EQ(blocks[1][kPacketPayload], data[246]);
    EXPECT_EQ(GetWord(blocks[1], kPacketIndex), 1);
    EXPECT_EQ(GetWord(blocks[1], kPacketCrc), CRC16(&data[246], 1));

    data = Pattern(492);
    blocks = FragmentMessage(2, data.data(), data.size());
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(PacketLength(blocks[0]), 246);
    EXPECT_EQ(PacketLength(blocks[1]), 246);
}

TEST(PacketFragmentation, TestMessageGoesOutAs34Blocks)
{
    auto message = TestMessage();
    auto blocks = FragmentMessage(1, message.data(), message.size());
    ASSERT_EQ(SentBlockCount(blocks), 34);
    for (size_t i = 0; i < 33; ++i) {
        EXPECT_EQ(PacketFlag(blocks[i]), kFlagMore);
        EXPECT_EQ(PacketLength(blocks[i]), 246);
        EXPECT_EQ(GetWord(blocks[i], kPacketIndex), i);
    }
    EXPECT_EQ(PacketFlag(blocks[33]), kFlagLast);
    EXPECT_EQ(PacketLength(blocks[33]), 82);
    EXPECT_EQ(Wire(blocks).size(), 8704u);
}

TEST(PacketFragmentation, ControlBlockPutsThreePayloadBytesOnTheLine)
{
    CBlock control{};
    control[kPacketFlag] = kFlagControl;
    control[kPacketPayload] = 0xFF;
    control[kPacketPayload + 1] = 0xFF;
    ASSERT_EQ(PacketWireLength(control), 3u);
    EXPECT_EQ(PacketWireBytes(control)[0], 0xFF);
    EXPECT_EQ(PacketWireBytes(control)[2], 0x00);
}

TEST(TestMessageContent, PatternAndSpeeds)
{
    auto message = TestMessage();
    const uint8_t head[] = {0x7B, 0x00, 0x01, 0x00, 0x7F, 0x46, 0x09, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(message.begin(), message.begin() + 8), std::vector<uint8_t>(head, head + 8));
    EXPECT_EQ(message[8197], 0xFA);
    EXPECT_EQ(std::accumulate(message.begin(), message.end(), 0u), 0x7Bu + 0x01 + 0x7F + 0x46 + 0x09 + 0xFA);

    wchar_t text[64];
    _snwprintf(text, 64, L"%f %f", double(NetSpeed(4.0f)), double(GrossSpeed(34, 4.0f)));
    EXPECT_STREQ(text, L"4.003906 4.169922");
}

TEST(PacketReceiving, SplitReadsYieldWholeBlocksInOrder)
{
    auto data = Pattern(492);
    auto wire = Wire(FragmentMessage(5, data.data(), data.size()));
    for (const std::vector<size_t>& reads : {std::vector<size_t>{100, 156, 256}, {300, 212}, {256, 256},
                                              {1, 254, 1, 255, 1}, {512}}) {
        CReceiveSide side;
        EXPECT_EQ(Feed(side, wire, reads), 1u);
        EXPECT_EQ(side.CarryCount(), 0u);
        std::vector<uint8_t> out(600);
        ASSERT_EQ(side.Collect(out.data(), out.size()), 492u);
        out.resize(492);
        EXPECT_EQ(out, data);
        EXPECT_TRUE(side.Empty());
    }
}

TEST(PacketReceiving, PartialBlockWaitsInTheCarry)
{
    auto data = Pattern(100);
    auto wire = Wire(FragmentMessage(1, data.data(), data.size()));
    CReceiveSide side;
    EXPECT_EQ(Feed(side, wire, {100, 100}), 0u);
    EXPECT_EQ(side.CarryCount(), 200u);
    EXPECT_TRUE(side.Empty());
    EXPECT_EQ(Feed(side, std::vector<uint8_t>(wire.begin() + 200, wire.end()), {56}), 1u);
}

TEST(PacketReceiving, TestMessageInUnevenReads)
{
    auto message = TestMessage();
    auto wire = Wire(FragmentMessage(9, message.data(), message.size()));
    std::vector<size_t> reads;
    for (size_t left = wire.size(), n = 1; left > 0; n = n * 3 % 4096 + 1) {
        reads.push_back(std::min(n, left));
        left -= reads.back();
    }
    CReceiveSide side;
    EXPECT_EQ(Feed(side, wire, reads), 1u);
    EXPECT_FALSE(side.CheckCompletion()) << "a message is announced once";
    std::vector<uint8_t> out(kTestMessageSize);
    ASSERT_EQ(side.Collect(out.data(), out.size()), kTestMessageSize);
    EXPECT_EQ(out, message);
}

TEST(PacketReceiving, ThreeByteResetEmptiesTheReceiveSide)
{
    auto data = Pattern(300);
    auto wire = Wire(FragmentMessage(3, data.data(), data.size()));
    CReceiveSide side;
    EXPECT_EQ(Feed(side, wire, {512}), 1u);
    side.AddPacketBytes(wire.data(), 10);
    const uint8_t reset[] = {0xFF, 0xFF, 0x00};
    side.AddPacketBytes(reset, 3);
    EXPECT_TRUE(side.Empty());
    EXPECT_EQ(side.DoneCount(), 0u);
    EXPECT_EQ(side.CarryCount(), 0u);

    // Three bytes that do not start FF FF are ordinary data.
    const uint8_t other[] = {0xFF, 0x00, 0x00};
    side.AddPacketBytes(other, 3);
    EXPECT_EQ(side.CarryCount(), 3u);
}

TEST(PacketReceiving, BadCrcOnTheLastBlockIsDroppedAndNeverAnnounced)
{
    auto data = Pattern(300);
    auto blocks = FragmentMessage(4, data.data(), data.size());
    blocks[1][kPacketPayload + 5] ^= 0x01;
    CReceiveSide side;
    auto wire = Wire(blocks);
    EXPECT_EQ(Feed(side, wire, {512}), 0u);
    EXPECT_EQ(side.BlockCount(), 1u) << "only the damaged newest block goes";
    uint8_t out[300];
    EXPECT_EQ(side.Collect(out, sizeof out), 0u);
}

TEST(PacketReceiving, DamagedLengthIsRejected)
{
    auto data = Pattern(10);
    auto blocks = FragmentMessage(4, data.data(), data.size());
    blocks[0][kPacketLength] = 250;
    EXPECT_FALSE(PacketCrcMatches(blocks[0]));
}

TEST(PacketReceiving, CollectTakesOneMessageAndRespectsTheBufferSize)
{
    auto first = Pattern(300, 1), second = Pattern(20, 2);
    auto wire = Wire(FragmentMessage(1, first.data(), first.size()));
    auto more = Wire(FragmentMessage(2, second.data(), second.size()));
    CReceiveSide side;
    EXPECT_EQ(Feed(side, wire, {512}), 1u);
    EXPECT_EQ(Feed(side, more, {256}), 1u);
    std::vector<uint8_t> out(100);
    EXPECT_EQ(side.Collect(out.data(), out.size()), 100u) << "at most the buffer's size";
    EXPECT_EQ(out, std::vector<uint8_t>(first.begin(), first.begin() + 100));
    EXPECT_EQ(side.BlockCount(), 1u) << "the first message's blocks are gone";
    EXPECT_EQ(side.Collect(out.data(), out.size()), 20u);
    EXPECT_EQ(side.Collect(out.data(), out.size()), 0u);
}
