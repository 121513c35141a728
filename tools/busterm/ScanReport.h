#pragma once
#include <string>
#include <vector>

// A module that answered SCAN.
struct FoundModule {
    std::wstring address;        // two hex digits
    std::wstring name;           // its answer to "$AAM" after "!AA"
    std::wstring dcb;            // the port settings it answered at
    bool checksum = false;       // the checksum mode it answered in
    std::wstring configuration;  // its answer to "$AA2" ("!AATTCCFF"); empty when it gave none
};

// The module's line in the list: address, name, speed, checksum mode, configuration in words.
std::wstring ModuleLine(const FoundModule& module);

// Lines for controller.xml: one <port> per speed and checksum mode found, on the terminal's port
// with its reply delay, and a <device> for each module whose kind orvex knows (a comment for the
// others).
std::vector<std::wstring> ControllerXmlLines(const std::vector<FoundModule>& modules, const std::wstring& portName,
                                             int delay);
