#pragma once
#include "Device.h"
#include "ModbusFrame.h"
#include <cstdint>

// The Modbus RTU side of a device: builders of request frames (the exchange appends the CRC).
class CModBusRtu : public virtual CDevice {
public:
    ~CModBusRtu() override = default;

    // 00 08 00 20 00 01: diagnostics to the broadcast address.
    static void BuildLinkTest(CFrameRecord& frame);
    static void BuildReadHolding(CFrameRecord& frame, uint8_t address, uint16_t reg, uint16_t count);
    static void BuildWriteRegister(CFrameRecord& frame, uint8_t address, uint16_t reg, uint16_t value);
    // The IVA-8 answers at address 1 only.
    static void BuildIva8Read(CFrameRecord& frame, uint16_t reg);

protected:
    // The address text read as a decimal number.
    uint8_t ModbusAddress() const;
};
