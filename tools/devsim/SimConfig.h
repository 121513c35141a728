#pragma once
#include <string>
#include <vector>

// What the simulator needs of one segment of controller.xml.
struct SimDeviceConfig {
    std::wstring keyword;  // "ICP7017", "IVA8", ...
    std::wstring address;  // the addres text
    unsigned baud = 0;     // the speed of its segment's port; 0 when the port names none
    bool lrc = false;      // the DCON checksum of its segment's port
};

struct SimSegmentConfig {
    std::wstring portId;
    std::wstring settings;
    bool dcon = false;  // protocol "DCON": text lines; otherwise Modbus RTU frames
    bool lrc = false;
    std::vector<SimDeviceConfig> devices;
};

// Reads the port named segment and its devices; false with a message when it cannot. Several
// segments joined by "+" ("fast+slow") hang on one line: the first gives the line's port
// settings, and each device keeps the speed and checksum mode of its own segment.
bool LoadSegmentConfig(const std::wstring& file, const std::wstring& segments, SimSegmentConfig& config,
                       std::wstring& error);
