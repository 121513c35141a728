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

// One whole line: silence, a line cut off before its carriage return, or more than one line is
// no reply of the one module asked.
static bool IsOneReply(const std::wstring& reply)
{
    return !reply.empty() && reply.find(L'\r') + 1 == reply.size();
}

bool DconCheckReply(std::wstring& reply, bool checksum, DconReplyEnd end)
{
    if (end == DconReplyEnd::CarriageReturn && !IsOneReply(reply))
        return false;
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
