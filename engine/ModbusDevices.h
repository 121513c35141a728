#pragma once
#include "ModBusRtu.h"
#include "Rrg12.h"

// The IVA-8 hygrometer.
class CDeviceIVA8 : public virtual CDevice, public virtual CModBusRtu {
public:
    CDeviceIVA8();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

// The RRG-12 gas flow meter-regulator.
class CDeviceRRG12 : public virtual CDevice, public virtual RRG12, public virtual CModBusRtu {
public:
    CDeviceRRG12();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};
