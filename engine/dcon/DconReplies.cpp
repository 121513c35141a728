#include "DconReplies.h"
#include <cwchar>
#include <climits>

namespace {
// ">" or "!": the module took the command; "?" answers one it refused.
bool Accepted(std::wstring_view reply) { return !reply.empty() && (reply[0] == L'>' || reply[0] == L'!'); }

// The reply without the carriage return that stays when the checksum is off.
std::wstring_view Line(std::wstring_view reply)
{
    if (!reply.empty() && reply.back() == L'\r')
        reply.remove_suffix(1);
    return reply;
}

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }

// "+05.123": a sign, then digits around one decimal point (or comma), seven characters in all.
bool IsAnalogField(std::wstring_view field)
{
    if (field.size() != 7 || (field[0] != L'+' && field[0] != L'-'))
        return false;
    int points = 0;
    for (wchar_t c : field.substr(1))
        if (c == L'.' || c == L',')
            ++points;
        else if (c < L'0' || c > L'9')
            return false;
    return points == 1;
}

// The body of a "!" AA reply from the module at the address, without the carriage return that
// stays when the checksum is off; false for any other reply.
bool AddressedBody(std::wstring_view reply, const std::wstring& address, std::wstring_view& body)
{
    const std::wstring lead = L"!" + address;
    std::wstring_view line = Line(reply);
    if (line.substr(0, lead.size()) != lead)
        return false;
    body = line.substr(lead.size());
    return true;
}
}  // namespace

bool ParseDigitalStatus(std::wstring_view reply, uint32_t& status)
{
    std::wstring_view line = Line(reply);
    if (line.size() != 1 + kDigitalStatusDigits || !Accepted(line))
        return false;
    uint32_t value = 0;
    for (wchar_t c : line.substr(1)) {
        if (!IsHexDigit(c))
            return false;
        value = value << 4 | uint32_t(c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10);
    }
    status = value;
    return true;
}

bool ParseCounter(std::wstring_view reply, int& value)
{
    std::wstring_view line = Line(reply);
    if (line.size() < 4 || line.size() > 13 || !Accepted(line))
        return false;
    long long number = 0;
    for (wchar_t c : line.substr(3)) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + (c - L'0');
    }
    if (number > INT_MAX)
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
    std::wstring_view line = Line(reply);
    if (line.size() != 1 + 7 * count || !Accepted(line))
        return false;
    std::vector<float> read;
    for (size_t i = 0; i < count; ++i) {
        std::wstring_view field = line.substr(1 + 7 * i, 7);
        if (!IsAnalogField(field))
            return false;
        read.push_back(ParseAnalogField(field));
    }
    values = read;
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
        if (!IsHexDigit(c))
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

bool IsOutputSet(std::wstring_view reply) { return Line(reply) == L">"; }
