#include "ReplyText.h"
#include "DconFraming.h"
#include <cwchar>

bool CheckTerminalReply(std::wstring& reply, bool checksum)
{
    if (!checksum)
        return true;
    if (reply.size() < 3)
        return false;
    size_t body = reply.size() - 3;
    wchar_t digits[4];
    _snwprintf(digits, 4, L"%02X", DconChecksum(reply.substr(0, body)));
    if (reply.compare(body, 2, digits) != 0)
        return false;
    reply.resize(body);
    return true;
}

std::wstring MaskWideCharacters(const std::wstring& reply)
{
    std::wstring masked = reply;
    for (wchar_t& c : masked) {
        if (unsigned(c) > 1000)
            c = L'.';
    }
    return masked;
}
