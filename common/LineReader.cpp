#include "LineReader.h"
#include <cwchar>

namespace {
void SkipRestOfLine(FILE* input)
{
    wint_t c;
    do {
        c = fgetwc(input);
    } while (c != WEOF && c != L'\n');
}

void StripLineEnd(std::wstring& line)
{
    if (!line.empty() && line.back() == L'\n')
        line.pop_back();
    if (!line.empty() && line.back() == L'\r')
        line.pop_back();
}
}  // namespace

bool ReadTerminalLine(FILE* input, std::wstring& line)
{
    wchar_t buffer[kMaxLineChars + 2];  // the longest line, its line feed and the zero
    if (!fgetws(buffer, int(kMaxLineChars + 2), input))
        return false;
    line = buffer;
    if (line.size() > kMaxLineChars && line.back() != L'\n') {
        line.resize(kMaxLineChars);
        SkipRestOfLine(input);
        wprintf(L"LINE TOO LONG, CUT TO %d CHARACTERS\n", int(kMaxLineChars));
        return true;
    }
    StripLineEnd(line);
    return true;
}
