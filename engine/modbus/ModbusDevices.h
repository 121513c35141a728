#pragma once
#include "ModbusRtu.h"
#include "Stopwatch.h"

// The IVA-8 hygrometer: one reading, register 0x0200 through its own function 0x19.
class CDeviceIVA8 : public virtual CDevice, public virtual CModBusRtu {
public:
    static constexpr wchar_t kKeyword[] = L"IVA8";

    CDeviceIVA8();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;

private:
    // The instrument's own read; true when a checked frame with the reading came back.
    bool Poll(float& reading);

    CFrameRecord m_request;
    CFrameRecord m_reply;
};

// The RRG-12 gas flow meter-regulator: two readings (registers 4 and 5) and a set point
// (register 4), written at most once per 5 s.
class CDeviceRRG12 : public virtual CDevice, public virtual CModBusRtu {
public:
    static constexpr wchar_t kKeyword[] = L"RRG12";

    CDeviceRRG12();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;

    static constexpr double kSetPointSeconds = 5.0;

private:
    // The read of registers 4 and 5; true when a checked frame with both came back.
    bool Poll(float& flow, float& second);

    CFrameRecord m_request;
    CFrameRecord m_reply;
    CStopwatch m_setPointTimer;
};
