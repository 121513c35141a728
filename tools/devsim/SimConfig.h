#pragma once
#include <string>
#include <vector>

// What the simulator needs of one segment of controller.xml.
struct SimDeviceConfig {
    std::wstring keyword;  // "ICP7017", "IVA8", ...
    std::wstring address;  // the addres text
};

struct SimSegmentConfig {
    std::wstring portId;
    std::wstring settings;
    bool dcon = false;  // protocol "DCON": text lines; otherwise Modbus RTU frames
    bool lrc = false;
    std::vector<SimDeviceConfig> devices;
};

// Reads the port named segment and its devices; false with a message when it cannot.
bool LoadSegmentConfig(const std::wstring& file, const std::wstring& segment, SimSegmentConfig& config,
                       std::wstring& error);
