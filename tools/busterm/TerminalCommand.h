#pragma once
#include <windows.h>
#include <string>

// What one typed line asks for. The line is upper-cased before it is parsed.
enum class CommandKind { Exit, Repeat, Help, Purge, Escape, CrcOn, CrcOff, Errors, Delay, Speed, Port, Scan, Raw };

// SCAN [ALL] [first last]: the addresses (hex) to ask, at the port's speed or at every speed.
struct ScanRequest {
    bool valid = true;  // false: words that are none of these
    bool allSpeeds = false;
    unsigned first = 0x00, last = 0xFF;
};

struct TerminalCommand {
    CommandKind kind = CommandKind::Raw;
    DWORD escape = 0;      // EscapeCommFunction code of the line commands
    int delay = 0;         // DELAY: the value as typed, negative ones included
    std::wstring setting;  // CS: the DCB definition; CP: the port name
    ScanRequest scan;
};

// Upper-cases the whole line, so keywords match in any case and modules get upper case.
std::wstring UpperCaseLine(const std::wstring& line);

// Tests the line against the command table top to bottom; the first match wins.
TerminalCommand ParseCommand(const std::wstring& upperLine);
