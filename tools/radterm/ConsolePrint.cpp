#include "ConsolePrint.h"
#include "TextConv.h"
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

void PrintWide(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = ::_vscwprintf(format, args);
    va_end(args);
    if (length <= 0)
        return;
    std::wstring text(size_t(length), L'\0');
    va_start(args, format);
    std::vswprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    std::string bytes = WideToAnsi(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}
