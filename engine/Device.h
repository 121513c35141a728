#pragma once
#include "Value.h"
#include <cstdint>
#include <string>
#include <vector>

class CTransport;

// A field device on an RS485 segment. The value arrays are filled at construction and never
// change size, so the variables' pointers into them stay valid for the whole run.
class CDevice {
public:
    int kind;
    std::wstring address;
    std::wstring keyword;
    std::wstring description;
    CTransport* transport = nullptr;
    std::vector<CValue> inputs;
    std::vector<CValue> outputs;
    uint16_t inputCount;
    uint16_t outputCount;

    virtual ~CDevice() = default;
    virtual bool TestLink() = 0;
    virtual bool ReadInputs() = 0;
    virtual bool Idle() { return true; }
    virtual bool WriteOutputs() = 0;
    virtual bool ResetStatus() = 0;

protected:
    CDevice(int kind, const wchar_t* keyword, const wchar_t* description, uint16_t inputs,
            uint16_t outputs, int initialTag);
};
