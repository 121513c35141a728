#include "DecimalComma.h"
#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// Copies a run of digits into out; returns how many were copied.
size_t CopyDigits(const wchar_t*& p, std::string& out)
{
    size_t n = 0;
    for (; IsDigit(*p); ++p, ++n)
        out += char(*p);
    return n;
}

// The exponent is taken only when digits follow "e" (and its sign), as wcstod does.
void CopyExponent(const wchar_t* p, std::string& out)
{
    if (*p != L'e' && *p != L'E')
        return;
    const wchar_t* q = p + 1;
    std::string exponent = "e";
    if (*q == L'+' || *q == L'-')
        exponent += char(*q++);
    if (CopyDigits(q, exponent) > 0)
        out += exponent;
}

// from_chars leaves the value alone when the number does not fit a double: tell an overflow
// from an underflow by where the first significant digit stands.
double OutOfRange(const std::string& number)
{
    size_t point = number.find('.');
    size_t first = number.find_first_not_of("0.");
    size_t e = number.find('e');
    long long magnitude = 0;
    if (point == std::string::npos)
        point = std::min(e, number.size());
    if (first != std::string::npos && first < std::min(e, number.size()))
        magnitude = first < point ? (long long)(point - first) : -(long long)(first - point);
    if (e != std::string::npos)
        magnitude += std::clamp(std::strtoll(number.c_str() + e + 1, nullptr, 10), -1000000000LL, 1000000000LL);
    return magnitude > 0 ? HUGE_VAL : 0.0;
}

}  // namespace

double DecimalCommaToDouble(const wchar_t* text)
{
    if (!text)
        return 0.0;
    const wchar_t* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-')
        ++p;
    std::string number;
    size_t digits = CopyDigits(p, number);
    if (*p == L',') {
        number += '.';
        ++p;
        digits += CopyDigits(p, number);
    }
    if (digits == 0)
        return 0.0;
    CopyExponent(p, number);
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = OutOfRange(number);
    return negative ? -value : value;
}

bool ReadDecimal(const std::wstring& text, double& value)
{
    size_t first = text.find_first_not_of(L" \t"), last = text.find_last_not_of(L" \t");
    if (first == std::wstring::npos)
        return false;
    std::string number;
    for (wchar_t c : text.substr(first, last - first + 1)) {
        // Only what a plain number holds: no "inf" or "nan", no hexadecimal.
        if (!IsDigit(c) && c != L',' && c != L'.' && c != L'-' && c != L'+' && c != L'e' && c != L'E')
            return false;
        number += c == L',' ? '.' : char(c);
    }
    double read = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), read);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() || std::fabs(read) > FLT_MAX)
        return false;
    value = read;
    return true;
}
