#include "ValueText.h"
#include "ExponentDigits.h"
#include <clocale>
#include <cstdio>

namespace {
// The C runtime formats under the program's locale; the column always shows a decimal point.
std::wstring WithDecimalPoint(const wchar_t* formatted)
{
    std::wstring text = formatted;
    const char* point = std::localeconv()->decimal_point;
    if (point && point[0] && point[0] != '.' && point[1] == '\0') {
        wchar_t separator = wchar_t(static_cast<unsigned char>(point[0]));
        for (wchar_t& c : text)
            if (c == separator)
                c = L'.';
    }
    return text;
}

std::wstring Printed(const wchar_t* format, double number)
{
    wchar_t text[64];
    _snwprintf(text, 64, format, number);
    text[63] = L'\0';
    return WithThreeDigitExponent(WithDecimalPoint(text));
}
}  // namespace

std::wstring ValueText(const CValue& value)
{
    switch (value.tag) {
    case TagInteger: return std::to_wstring(value.payload.i);
    case TagFloat: return Printed(L"%g", value.payload.f);
    case TagDouble: return Printed(L"%e", value.payload.d);
    case TagBoolean: return value.payload.b ? L"true" : L"false";
    default: return value.text;
    }
}

std::wstring LoadedValueText(const CValue& value)
{
    wchar_t text[64];
    _snwprintf(text, 64, L"%e", value.AsNumber());
    text[63] = L'\0';
    return WithThreeDigitExponent(std::wstring(text));
}

std::wstring FailureText(const std::wstring& failure) { return L"ошибка: " + failure; }
