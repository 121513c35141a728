#pragma once
#include "Block.h"
#include <cstdint>
#include <deque>
#include <list>
#include <vector>

// The receive side of the modem port: the receive list (flat chunks or packet blocks in arrival
// order), the done list of verified message numbers and the packet-mode carry. Callers hold the
// port's receive lock around every call.
class CReceiveSide {
public:
    // Flat mode: a completed read, cut into 246-byte chunks.
    void AddFlatBytes(const uint8_t* bytes, size_t count);
    // Flat mode: every chunk, oldest first; the list is left empty.
    std::vector<CBlock> TakeChunks();

    // Packet mode: a completed read. Three bytes starting FF FF reset the receive side;
    // anything else is cut into blocks, continuing the block begun by an earlier read.
    void AddPacketBytes(const uint8_t* bytes, size_t count);
    // The completion check on the newest block; true when it accepted a message.
    bool CheckCompletion();
    // Copies the payloads of the oldest complete message (at most `size` bytes) and removes its
    // blocks; returns the bytes copied, 0 when no message is complete.
    size_t Collect(uint8_t* out, size_t size);

    // Empties the receive list and the done list; Clear also drops the carry.
    void ClearMessages();
    void Clear();
    bool Empty() const { return m_blocks.empty(); }
    size_t BlockCount() const { return m_blocks.size(); }
    size_t DoneCount() const { return m_done.size(); }
    size_t CarryCount() const { return m_carryCount; }

private:
    void AppendToCarry(const uint8_t* bytes, size_t count);

    std::list<CBlock> m_blocks;
    std::deque<uint16_t> m_done;
    CBlock m_carry{};
    size_t m_carryCount = 0;
};
