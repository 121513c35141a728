#pragma once
#include <string>

// The console's command table, tested top to bottom: the first match wins.
enum class Command {
    CrcOn, CrcOff, ChangeSpeed, Exit, Help, Repeat, File, Purge,
    SetDtr, ClrDtr, SetRts, ClrRts, ResetDev, SetBreak, ClrBreak,
    Errors, ChangePort, Master, Slave, Hayes, Flat,
};

// Keywords match the whole line in any case; the prefixes CS, CP and AT match in upper case.
Command ClassifyCommand(const std::wstring& line);

// The EscapeCommFunction code of a line-control command, 0 for any other.
unsigned EscapeCode(Command command);

// A Hayes answer as printed: carriage returns become line feeds.
std::wstring HayesAnswerText(std::wstring answer);
