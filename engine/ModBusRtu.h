#pragma once
#include "Device.h"

// The Modbus RTU side: builders of request frames.
class CModBusRtu : public virtual CDevice {
public:
    ~CModBusRtu() override = default;
};
