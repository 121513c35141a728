#pragma once
#include "Block.h"
#include <string>
#include <vector>

// Flat chunk: up to 254 bytes of ANSI text, its byte count at offset 254.
constexpr size_t kFlatCountOffset = 254;
constexpr size_t kFlatSendPiece = 254;
constexpr size_t kFlatReceivePiece = 246;

inline uint16_t FlatChunkCount(const CBlock& chunk) { return GetWord(chunk, kFlatCountOffset); }

// Text queued for sending: pieces of 254 characters, each converted to the ANSI code page.
std::vector<CBlock> FlatChunksFromText(const std::wstring& text);

// Bytes read in flat mode: pieces of 246 bytes.
std::vector<CBlock> FlatChunksFromBytes(const uint8_t* bytes, size_t count);

// The chunk's bytes as ANSI text.
std::string FlatChunkBytes(const CBlock& chunk);
