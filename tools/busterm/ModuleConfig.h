#pragma once
#include <string>

// A module's configuration as it answers "$AA2": "!" AA TT CC FF (input type, speed code, data
// format), two hex digits each.
struct ModuleConfig {
    unsigned type = 0;
    unsigned speedCode = 0;
    unsigned format = 0;
};

// False for a reply of another form, or from another address.
bool ParseModuleConfig(const std::wstring& reply, const std::wstring& address, ModuleConfig& config);

// In words, with the codes: "type 08 +/-10V, speed 06 9600 baud, format 40 checksum on,
// engineering units".
std::wstring DescribeModuleConfig(const ModuleConfig& config);
