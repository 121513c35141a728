#include "TerminalCommand.h"
#include <cwchar>
#include <sstream>
#include <vector>

namespace {
struct ExactCommand {
    const wchar_t* keyword;
    CommandKind kind;
    DWORD escape;
};

// Tested after EXIT and REPEAT, in this order.
const ExactCommand kExactCommands[] = {
    {L"HELP", CommandKind::Help, 0},          {L"PURGE", CommandKind::Purge, 0},
    {L"SETDTR", CommandKind::Escape, SETDTR}, {L"CLRDTR", CommandKind::Escape, CLRDTR},
    {L"SETRTS", CommandKind::Escape, SETRTS}, {L"CLRRTS", CommandKind::Escape, CLRRTS},
    {L"RESETDEV", CommandKind::Escape, RESETDEV}, {L"SETBREAK", CommandKind::Escape, SETBREAK},
    {L"CLRBREAK", CommandKind::Escape, CLRBREAK}, {L"CRC ON", CommandKind::CrcOn, 0},
    {L"CRC OFF", CommandKind::CrcOff, 0},      {L"ERRORS", CommandKind::Errors, 0},
};

bool StartsWith(const std::wstring& line, const wchar_t* prefix)
{
    return line.compare(0, wcslen(prefix), prefix) == 0;
}

std::wstring From(const std::wstring& line, size_t first)
{
    return first < line.size() ? line.substr(first) : std::wstring();
}

bool ReadAddress(const std::wstring& word, unsigned& address)
{
    if (word.empty() || word.size() > 2 || word.find_first_not_of(L"0123456789ABCDEF") != std::wstring::npos)
        return false;
    address = unsigned(std::wcstoul(word.c_str(), nullptr, 16));
    return true;
}

ScanRequest ParseScan(const std::wstring& line)
{
    std::wistringstream in(line);
    std::vector<std::wstring> words;
    for (std::wstring word; in >> word;)
        words.push_back(word);
    ScanRequest scan;
    size_t next = 1;
    if (next < words.size() && words[next] == L"ALL") {
        scan.allSpeeds = true;
        ++next;
    }
    if (next == words.size())
        return scan;
    scan.valid = words.size() == next + 2 && ReadAddress(words[next], scan.first) &&
                 ReadAddress(words[next + 1], scan.last) && scan.first <= scan.last;
    return scan;
}
}  // namespace

std::wstring UpperCaseLine(const std::wstring& line)
{
    std::wstring upper = line;
    upper.push_back(L'\0');
    _wcsupr_s(&upper[0], upper.size());
    upper.pop_back();
    return upper;
}

TerminalCommand ParseCommand(const std::wstring& line)
{
    TerminalCommand command;
    if (line == L"EXIT") {
        command.kind = CommandKind::Exit;
        return command;
    }
    if (line.find(L"REPEAT") != std::wstring::npos) {
        command.kind = CommandKind::Repeat;
        return command;
    }
    for (const ExactCommand& exact : kExactCommands) {
        if (line == exact.keyword) {
            command.kind = exact.kind;
            command.escape = exact.escape;
            return command;
        }
    }
    if (line == L"SCAN" || StartsWith(line, L"SCAN ")) {
        command.kind = CommandKind::Scan;
        command.scan = ParseScan(line);
    } else if (StartsWith(line, L"DELA")) {
        command.kind = CommandKind::Delay;
        command.delay = _wtoi(From(line, 6).c_str());
    } else if (StartsWith(line, L"CS")) {
        command.kind = CommandKind::Speed;
        command.setting = From(line, 2) + L",n,8,1";
    } else if (StartsWith(line, L"CP")) {
        command.kind = CommandKind::Port;
        command.setting = L"\\\\.\\COM" + From(line, 2);
    }
    return command;
}
