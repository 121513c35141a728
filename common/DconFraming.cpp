#include "DconFraming.h"
#include <cwchar>

unsigned DconChecksum(const std::wstring& text)
{
    unsigned sum = 0;
    for (wchar_t c : text)
        sum += unsigned(c);
    return sum % 256;
}

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

bool DconCheckReply(std::wstring& reply, bool checksum, DconReplyEnd end)
{
    if (!checksum)
        return true;
    if (reply.size() < 3)
        return false;
    size_t body = reply.size() - 3;
    size_t compared = end == DconReplyEnd::Any ? 2 : 3;
    if (reply.compare(body, compared, ChecksumSuffix(DconChecksum(reply.substr(0, body))), 0, compared) != 0)
        return false;
    reply.resize(body);
    return true;
}
