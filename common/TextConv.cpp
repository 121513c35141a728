#include "TextConv.h"

std::string WideToAnsi(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return {};
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring AnsiToWide(const char* bytes, size_t count, UINT codePage)
{
    if (count == 0)
        return {};
    int n = ::MultiByteToWideChar(codePage, 0, bytes, int(count), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes, int(count), &out[0], n);
    return out;
}

std::wstring AnsiToWide(const std::string& bytes, UINT codePage)
{
    return AnsiToWide(bytes.data(), bytes.size(), codePage);
}
