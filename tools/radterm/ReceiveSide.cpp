#include "ReceiveSide.h"
#include "FlatChunks.h"
#include "PacketBlock.h"
#include <algorithm>
#include <cstring>

void CReceiveSide::AddFlatBytes(const uint8_t* bytes, size_t count)
{
    for (const CBlock& chunk : FlatChunksFromBytes(bytes, count))
        m_blocks.push_back(chunk);
}

std::vector<CBlock> CReceiveSide::TakeChunks()
{
    std::vector<CBlock> chunks(m_blocks.begin(), m_blocks.end());
    m_blocks.clear();
    return chunks;
}

void CReceiveSide::AddPacketBytes(const uint8_t* bytes, size_t count)
{
    if (count == 3 && bytes[0] == 0xFF && bytes[1] == 0xFF) {
        Clear();
        return;
    }
    if (m_carryCount > 0) {
        size_t need = std::min(kBlockSize - m_carryCount, count);
        AppendToCarry(bytes, need);
        bytes += need;
        count -= need;
    }
    for (; count >= kBlockSize; bytes += kBlockSize, count -= kBlockSize) {
        CBlock block;
        std::memcpy(block.data(), bytes, kBlockSize);
        m_blocks.push_back(block);
    }
    AppendToCarry(bytes, count);
}

void CReceiveSide::AppendToCarry(const uint8_t* bytes, size_t count)
{
    std::memcpy(m_carry.data() + m_carryCount, bytes, count);
    m_carryCount += count;
    if (m_carryCount == kBlockSize) {
        m_blocks.push_back(m_carry);
        m_carryCount = 0;
    }
}

bool CReceiveSide::CheckCompletion()
{
    if (m_blocks.empty())
        return false;
    const CBlock& newest = m_blocks.back();
    if (PacketFlag(newest) != kFlagLast && PacketFlag(newest) != kFlagOnly)
        return false;
    if (!m_done.empty() && m_done.back() == PacketNumber(newest))
        return false;
    if (!PacketCrcMatches(newest)) {
        m_blocks.pop_back();
        return false;
    }
    m_done.push_back(PacketNumber(newest));
    return true;
}

size_t CReceiveSide::Collect(uint8_t* out, size_t size)
{
    if (m_done.empty())
        return 0;
    uint16_t number = m_done.front();
    m_done.pop_front();
    size_t copied = 0;
    for (auto it = m_blocks.begin(); it != m_blocks.end();) {
        if (PacketNumber(*it) != number) {
            ++it;
            continue;
        }
        size_t piece = std::min<size_t>({PacketLength(*it), kPacketPayloadMax, size - copied});
        std::memcpy(out + copied, it->data() + kPacketPayload, piece);
        copied += piece;
        it = m_blocks.erase(it);
    }
    return copied;
}

void CReceiveSide::ClearMessages()
{
    m_blocks.clear();
    m_done.clear();
}

void CReceiveSide::Clear()
{
    ClearMessages();
    m_carryCount = 0;
}
