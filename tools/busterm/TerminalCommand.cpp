#include "TerminalCommand.h"
#include <cwchar>
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

std::vector<std::wstring> SplitWords(const std::wstring& line)
{
    std::vector<std::wstring> words;
    const wchar_t* separators = L" \n";
    size_t start = line.find_first_not_of(separators);
    while (start != std::wstring::npos) {
        size_t end = line.find_first_of(separators, start);
        words.push_back(line.substr(start, end == std::wstring::npos ? end : end - start));
        start = line.find_first_not_of(separators, end);
    }
    return words;
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
    if (StartsWith(line, L"DELA")) {
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

RepeatRequest ParseRepeat(const std::wstring& line)
{
    std::vector<std::wstring> words = SplitWords(line);
    RepeatRequest request;
    if (words.size() > 1)
        request.count = _wtoi(words[1].c_str());
    if (words.size() > 2)
        request.command = words[2];
    return request;
}
