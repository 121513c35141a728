#pragma once
#include "Device.h"

// The DCON side shared by the ICP CON 7000 modules.
class CDCON : public virtual CDevice {
public:
    ~CDCON() override = default;
};
