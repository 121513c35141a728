#pragma once
#include "Value.h"
#include <atomic>
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

    // Exchanges asked a second time because the first answer was missing or unusable.
    long Repeats() const { return m_repeats; }

protected:
    CDevice(int kind, const wchar_t* keyword, const wchar_t* description, uint16_t inputs,
            uint16_t outputs, int initialTag);

    // One exchange (`attempt` sends the request and judges the answer), asked once more at once
    // when it fails: one noise burst at bus turnaround does not fail the device, two in a row do.
    template <class Attempt>
    bool Repeated(Attempt attempt)
    {
        if (attempt())
            return true;
        ++m_repeats;
        return attempt();
    }

private:
    std::atomic<long> m_repeats{0};
};
