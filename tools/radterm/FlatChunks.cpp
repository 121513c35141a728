#include "FlatChunks.h"
#include "TextConv.h"
#include <algorithm>
#include <cstring>

std::vector<CBlock> FlatChunksFromText(const std::wstring& text)
{
    std::vector<CBlock> chunks;
    for (size_t from = 0; from == 0 || from < text.size(); from += kFlatSendPiece) {
        std::wstring piece = text.substr(from, kFlatSendPiece);
        piece.resize(wcsnlen(piece.c_str(), piece.size()));
        // A character outside the code page may take more than one byte; the chunk holds 254.
        std::string bytes = WideToAnsi(piece);
        size_t count = std::min(bytes.size(), kFlatSendPiece);
        CBlock chunk{};
        std::memcpy(chunk.data(), bytes.data(), count);
        PutWord(chunk, kFlatCountOffset, uint16_t(count));
        chunks.push_back(chunk);
    }
    return chunks;
}

std::vector<CBlock> FlatChunksFromBytes(const uint8_t* bytes, size_t count)
{
    std::vector<CBlock> chunks;
    for (size_t from = 0; from < count; from += kFlatReceivePiece) {
        size_t piece = std::min(kFlatReceivePiece, count - from);
        CBlock chunk{};
        std::memcpy(chunk.data(), bytes + from, piece);
        PutWord(chunk, kFlatCountOffset, uint16_t(piece));
        chunks.push_back(chunk);
    }
    return chunks;
}

std::string FlatChunkBytes(const CBlock& chunk)
{
    size_t count = std::min<size_t>(FlatChunkCount(chunk), kFlatSendPiece);
    return std::string(reinterpret_cast<const char*>(chunk.data()), count);
}
