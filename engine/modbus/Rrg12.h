#pragma once
#include "Device.h"

// Protocol class of the RRG-12 flow controller.
class RRG12 : public virtual CDevice {
public:
    ~RRG12() override = default;
};
