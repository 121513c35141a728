#pragma once
#include "Block.h"
#include <vector>

// Packet block layout (little-endian): reserved, message number, fragment index, CRC-16 of the
// payload, fragment flag, payload length, payload.
constexpr size_t kPacketNumber = 2;
constexpr size_t kPacketIndex = 4;
constexpr size_t kPacketCrc = 6;
constexpr size_t kPacketFlag = 8;
constexpr size_t kPacketLength = 9;
constexpr size_t kPacketPayload = 10;
constexpr size_t kPacketPayloadMax = 246;

enum : uint8_t {
    kFlagOnly = 0,      // the only block of a message
    kFlagMore = 10,     // more blocks follow
    kFlagLast = 13,     // the last block of a message of several
    kFlagControl = 15,  // only three payload bytes go on the line
};

inline uint16_t PacketNumber(const CBlock& block) { return GetWord(block, kPacketNumber); }
inline uint8_t PacketFlag(const CBlock& block) { return block[kPacketFlag]; }
inline uint8_t PacketLength(const CBlock& block) { return block[kPacketLength]; }

// Cuts a message into blocks numbered `number`; one block with flag 0 when it fits.
std::vector<CBlock> FragmentMessage(uint16_t number, const uint8_t* data, size_t length);

// What the send call reports: the block count, or 0 for a message of one block.
inline int SentBlockCount(const std::vector<CBlock>& blocks) { return blocks.size() > 1 ? int(blocks.size()) : 0; }

// True when the payload length is sane and the CRC field matches the payload.
bool PacketCrcMatches(const CBlock& block);

// The bytes of a queued packet block that go on the line, and how many.
const uint8_t* PacketWireBytes(const CBlock& block);
size_t PacketWireLength(const CBlock& block);
