#include "ErrorLog.h"
#include <cwchar>

namespace {
const size_t kLogLimit = 1024;

std::wstring Format(const wchar_t* format, DWORD code)
{
    wchar_t text[48];
    _snwprintf(text, 48, format, int(code));
    text[47] = L'\0';
    return text;
}
}  // namespace

void LogWriteError(std::wstring& log, DWORD code)
{
    log = Format(L"WRITE ERROR CODE: %d", code);
}

void LogReadError(std::wstring& log, DWORD code)
{
    log += Format(L"READ ERROR CODE: %d", code);
    if (log.size() > kLogLimit)
        log.clear();
}
