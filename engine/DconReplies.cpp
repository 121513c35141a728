#include "DconReplies.h"
#include <cwchar>
#include <cwctype>

namespace {
// ">" or "!": the module took the command; "?" answers one it refused.
bool Accepted(std::wstring_view reply) { return !reply.empty() && (reply[0] == L'>' || reply[0] == L'!'); }

// The body of a "!" AA reply from the module at the address, without the carriage return that
// stays when the checksum is off; false for any other reply.
bool AddressedBody(std::wstring_view reply, const std::wstring& address, std::wstring_view& body)
{
    const std::wstring lead = L"!" + address;
    if (reply.substr(0, lead.size()) != lead)
        return false;
    body = reply.substr(lead.size());
    if (!body.empty() && body.back() == L'\r')
        body.remove_suffix(1);
    return true;
}
}  // namespace

bool ParseDigitalStatus(std::wstring_view reply, uint32_t& status)
{
    if (reply.size() < 4 || !Accepted(reply))
        return false;
    size_t digits = 0;
    uint32_t value = 0;
    for (size_t i = 1; i < reply.size() && std::iswxdigit(reply[i]); ++i, ++digits) {
        wchar_t c = reply[i];
        value = value << 4 | uint32_t(c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10);
    }
    if (digits == 0 || digits > 7)
        return false;
    status = value;
    return true;
}

bool ParseCounter(std::wstring_view reply, int& value)
{
    if (reply.size() < 4 || !Accepted(reply))
        return false;
    const std::wstring digits(reply.substr(3));  // wcstol reads up to a terminating zero
    wchar_t* end = nullptr;
    long number = std::wcstol(digits.c_str(), &end, 10);
    if (end == digits.c_str())
        return false;
    value = int(number);
    return true;
}

float ParseAnalogField(std::wstring_view field)
{
    size_t i = 0;
    double sign = 1.0;
    if (i < field.size() && (field[i] == L'+' || field[i] == L'-'))
        sign = field[i++] == L'-' ? -1.0 : 1.0;
    double value = 0.0, scale = 1.0;
    bool fraction = false;
    for (; i < field.size(); ++i) {
        wchar_t c = field[i];
        if (c >= L'0' && c <= L'9') {
            if (fraction)
                value += (c - L'0') * (scale /= 10.0);
            else
                value = value * 10.0 + (c - L'0');
        } else if ((c == L'.' || c == L',') && !fraction) {
            fraction = true;
        } else {
            break;
        }
    }
    return float(sign * value);
}

bool ParseAnalog(std::wstring_view reply, size_t count, std::vector<float>& values)
{
    if (reply.size() < 4 || !Accepted(reply))
        return false;
    values.assign(count, 0.0f);
    for (size_t i = 0; i < count; ++i) {
        size_t start = 1 + 7 * i;
        if (start < reply.size())
            values[i] = ParseAnalogField(reply.substr(start, 7));
    }
    return true;
}

std::wstring DigitalOutputData(const std::vector<bool>& outputs, int digits)
{
    unsigned bits = 0;
    for (size_t i = 0; i < outputs.size(); ++i)
        if (outputs[i])
            bits |= 1u << i;
    wchar_t text[10];
    _snwprintf(text, 10, digits == 4 ? L"%04X" : L"%02X", bits);
    return text;
}

bool ParseConfiguration(std::wstring_view reply, const std::wstring& address, std::wstring& baudAndFormat)
{
    std::wstring_view body;
    if (!AddressedBody(reply, address, body) || body.size() != 6)
        return false;
    for (wchar_t c : body)
        if (c == L'\0' || !std::wcschr(L"0123456789ABCDEFabcdef", c))
            return false;
    baudAndFormat = std::wstring(body.substr(2));
    return true;
}

bool IsAcknowledged(std::wstring_view reply, const std::wstring& address)
{
    std::wstring_view body;
    return AddressedBody(reply, address, body) && body.empty();
}

bool IsAddressedReply(std::wstring_view reply, const std::wstring& address)
{
    std::wstring_view body;
    return AddressedBody(reply, address, body);
}

bool IsOutputSet(std::wstring_view reply) { return reply == L">" || reply == L">\r"; }
