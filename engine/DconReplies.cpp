#include "DconReplies.h"
#include <cwchar>
#include <cwctype>

namespace {
// ">" or "!": the module took the command; "?" answers one it refused.
bool Accepted(const std::wstring& reply) { return !reply.empty() && (reply[0] == L'>' || reply[0] == L'!'); }
}  // namespace

bool ParseDigitalStatus(const std::wstring& reply, uint32_t& status)
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

bool ParseCounter(const std::wstring& reply, int& value)
{
    if (reply.size() < 4 || !Accepted(reply))
        return false;
    const wchar_t* start = reply.c_str() + 3;
    wchar_t* end = nullptr;
    long number = std::wcstol(start, &end, 10);
    if (end == start)
        return false;
    value = int(number);
    return true;
}

float ParseAnalogField(const std::wstring& field)
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

bool ParseAnalog(const std::wstring& reply, size_t count, std::vector<float>& values)
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
