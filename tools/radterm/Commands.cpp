#include "Commands.h"
#include <windows.h>
#include <vector>

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

const wchar_t* const kHelpText =
    L"\n"
    L"Pellux Plus terminal.\n"
    L"CP ................. change port\n"
    L"CS9600 ............. change speed to 9600\n"
    L"CRC ON ............. crc mode ON\n"
    L"CRC OFF ............ crc mode OFF\n"
    L"PURGE .............. discards all characters from the output or input buffer\n"
    L"SETDTR ............. sends the DTR (data-terminal-ready) signal\n"
    L"CLRDTR ............. clears the DTR (data-terminal-ready) signal\n"
    L"SETRTS ............. sends the RTS (request-to-send) signal\n"
    L"CLRRTS ............. clears the RTS (request-to-send) signal\n"
    L"RESETDEV ........... Reset device if possible\n"
    L"SETBREAK ........... Set the device break line\n"
    L"CLRBREAK ........... Clear the device break line\n"
    L"REPEAT 50 command .. repeat 50 times command\n"
    L"ERRORS ............. show io errors\n"
    L"FILE ............... select file for send (ASCII)\n"
    L"SLAVE .............. Master-Slave test in packet mode\n"
    L"MASTER ............. Master-Slave test in packet mode, go to Slave side a first\n"
    L"+++ ................ Pellux Plus hayes mode\n"
    L"HELP ............... This help\n"
    L"EXIT ............... exit\n";

RepeatRequest ParseRepeat(const std::wstring& line)
{
    std::vector<std::wstring> words;
    size_t from = 0;
    while (from < line.size()) {
        size_t end = line.find_first_of(L" \n", from);
        if (end == std::wstring::npos)
            end = line.size();
        if (end > from)
            words.push_back(line.substr(from, end - from));
        from = end + 1;
    }
    RepeatRequest request;
    if (words.size() > 1)
        request.count = _wtoi(words[1].c_str());
    if (words.size() > 2)
        request.command = words[2];
    return request;
}

std::wstring HayesAnswerText(std::wstring answer)
{
    for (wchar_t& c : answer)
        if (c == L'\r')
            c = L'\n';
    return answer;
}

std::wstring RepeatAnswerText(std::wstring answer)
{
    for (wchar_t& c : answer)
        if (c > 1000)
            c = L'.';
    return answer + L"\n";
}
