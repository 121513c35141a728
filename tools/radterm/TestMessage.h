#pragma once
#include <cstddef>
#include <cstdint>

// The master/slave link test: one 8200-byte message there and back.
constexpr size_t kTestMessageSize = 8200;

// Fills a zeroed buffer of kTestMessageSize bytes with the test pattern.
void FillTestMessage(uint8_t* message);

// Payload of both directions per second, in Kb/s.
float NetSpeed(float seconds);
// The same with the 10 header bytes of each of the n blocks (padding not counted).
float GrossSpeed(int64_t blocks, float seconds);
