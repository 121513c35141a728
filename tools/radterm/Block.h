#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Every list of the modem port holds 256-byte blocks: flat chunks and packet blocks alike.
constexpr size_t kBlockSize = 256;
using CBlock = std::array<uint8_t, kBlockSize>;

inline uint16_t GetWord(const CBlock& block, size_t offset)
{
    return uint16_t(block[offset] | (block[offset + 1] << 8));
}

inline void PutWord(CBlock& block, size_t offset, uint16_t value)
{
    block[offset] = uint8_t(value & 0xFF);
    block[offset + 1] = uint8_t(value >> 8);
}
