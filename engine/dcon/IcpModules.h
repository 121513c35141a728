#pragma once
#include "Dcon.h"
#include "ModBusRtu.h"

// The nine ICP CON 7000 modules. Only their DCON side is used.

class CDeviceICP7041D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7041D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7042D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7042D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7044D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7044D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7045D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7045D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7052D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7052D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7055D : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7055D();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7017 : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7017();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7018 : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7018();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};

class CDeviceICP7033 : public virtual CDevice, public virtual CDCON, public virtual CModBusRtu {
public:
    CDeviceICP7033();
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;
};
