#include "DconFraming.h"
#include "TextConv.h"
#include <cwchar>

unsigned DconChecksum(const std::string& bytes)
{
    unsigned sum = 0;
    for (unsigned char c : bytes)
        sum += c;
    return sum % 256;
}

unsigned DconChecksum(const std::wstring& text) { return DconChecksum(WideToAnsi(text)); }

static std::wstring ChecksumSuffix(unsigned sum)
{
    wchar_t buf[8];
    _snwprintf(buf, 8, L"%02X\r", sum);
    return buf;
}

void DconFrame(std::wstring& request, bool checksum)
{
    request += checksum ? ChecksumSuffix(DconChecksum(request)) : std::wstring(L"\r");
}

bool DconCheckReply(std::wstring& reply, bool checksum)
{
    size_t end = reply.find(L'\r');
    if (reply.empty() || (end != std::wstring::npos && end + 1 < reply.size()))
        return false;
    if (!checksum)
        return true;
    if (reply.size() <= 2)
        return false;
    size_t body = reply.size() - 3;
    if (reply.compare(body, std::wstring::npos, ChecksumSuffix(DconChecksum(reply.substr(0, body)))) != 0)
        return false;
    reply.resize(body);
    return true;
}
