#include "DeviceTable.h"
#include "IcpModules.h"
#include "ModbusDevices.h"

namespace {
template <class T>
std::unique_ptr<CDevice> Make() { return std::make_unique<T>(); }

struct DeviceEntry {
    const wchar_t* keyword;
    std::unique_ptr<CDevice> (*create)();
};

const DeviceEntry kDevices[] = {
    {L"ICP7041D", Make<CDeviceICP7041D>}, {L"ICP7042D", Make<CDeviceICP7042D>},
    {L"ICP7044D", Make<CDeviceICP7044D>}, {L"ICP7045D", Make<CDeviceICP7045D>},
    {L"ICP7052D", Make<CDeviceICP7052D>}, {L"ICP7055D", Make<CDeviceICP7055D>},
    {L"ICP7017", Make<CDeviceICP7017>},   {L"ICP7018", Make<CDeviceICP7018>},
    {L"ICP7033", Make<CDeviceICP7033>},   {L"IVA8", Make<CDeviceIVA8>},
    {L"RRG12", Make<CDeviceRRG12>},
};
}  // namespace

std::unique_ptr<CDevice> CreateDevice(const std::wstring& keyword)
{
    for (const auto& entry : kDevices)
        if (keyword == entry.keyword)
            return entry.create();
    return nullptr;
}
