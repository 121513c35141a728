#pragma once
#include <cstdint>

// The Modbus RTU CRC-16 (reflected 0xA001, start 0xFFFF), table-driven. On the wire the low
// byte of the result goes first.
uint16_t CRC16(const uint8_t* bytes, uint16_t count);
