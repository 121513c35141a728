#include "Controller.h"

CController::~CController()
{
    // Workers first (their threads use devices and transports), then transports, devices, variables.
    workers.clear();
    transports.clear();
    devices.clear();
    variables.clear();
}

CValue* CController::FindValue(const std::wstring& name) const
{
    auto it = values.find(name);
    return it == values.end() ? nullptr : it->second;
}

CValue* CController::SetValue(const std::wstring& name, float x)
{
    CValue* value = FindValue(name);
    if (value)
        value->payload.f = x;  // the tag stays as it is
    return value;
}
