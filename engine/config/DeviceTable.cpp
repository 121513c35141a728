#include "DeviceTable.h"
#include "IcpModules.h"
#include "ModbusDevices.h"

std::unique_ptr<CDevice> CreateDevice(const std::wstring& keyword)
{
    if (const CIcpModuleRow* module = FindIcpModule(keyword))
        return std::make_unique<CIcpModule>(*module);
    if (keyword == CDeviceIVA8::kKeyword)
        return std::make_unique<CDeviceIVA8>();
    if (keyword == CDeviceRRG12::kKeyword)
        return std::make_unique<CDeviceRRG12>();
    return nullptr;
}
