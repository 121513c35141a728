#include "TerminalCommand.h"
#include <windows.h>

namespace {
struct Keyword {
    const wchar_t* text;
    Command command;
};

bool StartsWith(const std::wstring& line, const wchar_t* prefix)
{
    return line.compare(0, 2, prefix) == 0;
}
}  // namespace

Command ClassifyCommand(const std::wstring& line)
{
    static const Keyword head[] = {{L"CRC ON", Command::CrcOn}, {L"CRC OFF", Command::CrcOff}};
    static const Keyword middle[] = {{L"EXIT", Command::Exit}, {L"HELP", Command::Help}};
    static const Keyword lineControl[] = {
        {L"FILE", Command::File},         {L"PURGE", Command::Purge},       {L"SETDTR", Command::SetDtr},
        {L"CLRDTR", Command::ClrDtr},     {L"SETRTS", Command::SetRts},     {L"CLRRTS", Command::ClrRts},
        {L"RESETDEV", Command::ResetDev}, {L"SETBREAK", Command::SetBreak}, {L"CLRBREAK", Command::ClrBreak},
        {L"ERRORS", Command::Errors}};
    for (const Keyword& k : head)
        if (_wcsicmp(line.c_str(), k.text) == 0)
            return k.command;
    if (StartsWith(line, L"CS"))
        return Command::ChangeSpeed;
    for (const Keyword& k : middle)
        if (_wcsicmp(line.c_str(), k.text) == 0)
            return k.command;
    if (line.find(L"REPEAT") != std::wstring::npos || line.find(L"repeat") != std::wstring::npos)
        return Command::Repeat;
    for (const Keyword& k : lineControl)
        if (_wcsicmp(line.c_str(), k.text) == 0)
            return k.command;
    if (StartsWith(line, L"CP"))
        return Command::ChangePort;
    if (_wcsicmp(line.c_str(), L"MASTER") == 0)
        return Command::Master;
    if (_wcsicmp(line.c_str(), L"SLAVE") == 0)
        return Command::Slave;
    if (StartsWith(line, L"AT"))
        return Command::Hayes;
    return Command::Flat;
}

unsigned EscapeCode(Command command)
{
    switch (command) {
    case Command::SetDtr: return SETDTR;
    case Command::ClrDtr: return CLRDTR;
    case Command::SetRts: return SETRTS;
    case Command::ClrRts: return CLRRTS;
    case Command::ResetDev: return RESETDEV;
    case Command::SetBreak: return SETBREAK;
    case Command::ClrBreak: return CLRBREAK;
    default: return 0;
    }
}

std::wstring HayesAnswerText(std::wstring answer)
{
    for (wchar_t& c : answer)
        if (c == L'\r')
            c = L'\n';
    return answer;
}
