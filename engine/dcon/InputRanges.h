#pragma once

// DCON analog input type codes, as sent in the set-configuration command ("%AAAATTCCFF"),
// with the id and caption of the scale button that selects each.
struct CInputRange {
    int buttonId;
    const wchar_t* code;
    const wchar_t* caption;
};

inline constexpr CInputRange kInputRanges[] = {
    {5, L"00", L"±15mV"},  {6, L"01", L"±50mV"},    {7, L"02", L"±100mV"},  {8, L"03", L"±500mV"},
    {9, L"04", L"±1V"},    {10, L"05", L"±2,5V"},   {11, L"08", L"±10V"},   {12, L"09", L"±5V"},
    {13, L"0A", L"±1V"},   {14, L"0B", L"±500mV"},  {15, L"0C", L"±150mV"}, {16, L"0D", L"±20mA"},
};

// The range of a button id; null for an id that selects none.
inline const CInputRange* FindInputRange(int buttonId)
{
    for (const CInputRange& range : kInputRanges)
        if (range.buttonId == buttonId)
            return &range;
    return nullptr;
}
