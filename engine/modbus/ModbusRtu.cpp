#include "ModbusRtu.h"
#include <cwchar>

namespace {
constexpr uint8_t kIva8Address = 0x01;

void Fill(CFrameRecord& frame, uint8_t address, uint8_t function, uint16_t first, uint16_t second)
{
    frame = CFrameRecord();
    const uint8_t bytes[] = {address, function, uint8_t(first >> 8), uint8_t(first & 0xFF),
                             uint8_t(second >> 8), uint8_t(second & 0xFF)};
    for (uint8_t b : bytes)
        frame.data[frame.count++] = b;
}
}  // namespace

void CModBusRtu::BuildLinkTest(CFrameRecord& frame) { Fill(frame, kModbusBroadcast, kModbusDiagnostics, 0x0020, 0x0001); }

void CModBusRtu::BuildReadHolding(CFrameRecord& frame, uint8_t address, uint16_t reg, uint16_t count)
{
    Fill(frame, address, kModbusReadHolding, reg, count);
}

void CModBusRtu::BuildWriteRegister(CFrameRecord& frame, uint8_t address, uint16_t reg, uint16_t value)
{
    Fill(frame, address, kModbusWriteRegister, reg, value);
}

void CModBusRtu::BuildIva8Read(CFrameRecord& frame, uint16_t reg)
{
    Fill(frame, kIva8Address, kModbusIva8Read, reg, 0);
    frame.count = 4;
}

uint8_t CModBusRtu::ModbusAddress() const { return uint8_t(_wtoi(address.c_str())); }
