#include "PacketBlock.h"
#include "Crc16.h"
#include <algorithm>
#include <cstring>

static CBlock MakeBlock(uint16_t number, uint16_t index, uint8_t flag, const uint8_t* payload, size_t length)
{
    CBlock block{};
    PutWord(block, kPacketNumber, number);
    PutWord(block, kPacketIndex, index);
    PutWord(block, kPacketCrc, CRC16(payload, uint16_t(length)));
    block[kPacketFlag] = flag;
    block[kPacketLength] = uint8_t(length);
    std::memcpy(block.data() + kPacketPayload, payload, length);
    return block;
}

std::vector<CBlock> FragmentMessage(uint16_t number, const uint8_t* data, size_t length)
{
    if (length <= kPacketPayloadMax)
        return {MakeBlock(number, 0, kFlagOnly, data, length)};
    std::vector<CBlock> blocks;
    size_t count = (length + kPacketPayloadMax - 1) / kPacketPayloadMax;
    for (size_t i = 0; i < count; ++i) {
        size_t from = i * kPacketPayloadMax;
        size_t piece = std::min(kPacketPayloadMax, length - from);
        uint8_t flag = i + 1 < count ? kFlagMore : kFlagLast;
        blocks.push_back(MakeBlock(number, uint16_t(i), flag, data + from, piece));
    }
    return blocks;
}

bool PacketCrcMatches(const CBlock& block)
{
    // A length beyond the payload area can only come from a damaged block.
    if (PacketLength(block) > kPacketPayloadMax)
        return false;
    return CRC16(block.data() + kPacketPayload, PacketLength(block)) == GetWord(block, kPacketCrc);
}

const uint8_t* PacketWireBytes(const CBlock& block)
{
    return PacketFlag(block) == kFlagControl ? block.data() + kPacketPayload : block.data();
}

size_t PacketWireLength(const CBlock& block)
{
    return PacketFlag(block) == kFlagControl ? 3 : kBlockSize;
}
