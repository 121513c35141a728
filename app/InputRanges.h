#pragma once
#include "resource.h"
#include <iterator>

// The scale buttons' input ranges: the DCON analog input type code each sets (as sent in the
// set-configuration command "%AAAATTCCFF") and its caption, in the order of the buttons' ids from
// IDC_RANGE_FIRST.
struct CInputRange {
    const wchar_t* code;
    const wchar_t* caption;
};

inline constexpr CInputRange kInputRanges[] = {
    {L"00", L"±15mV"}, {L"01", L"±50mV"}, {L"02", L"±100mV"}, {L"03", L"±500mV"},
    {L"04", L"±1V"},   {L"05", L"±2,5V"}, {L"08", L"±10V"},   {L"09", L"±5V"},
    {L"0A", L"±1V"},   {L"0B", L"±500mV"}, {L"0C", L"±150mV"}, {L"0D", L"±20mA"},
};
static_assert(std::size(kInputRanges) == IDC_RANGE_LAST - IDC_RANGE_FIRST + 1, "one range per scale button");

// The range of a button id; null for an id that selects none.
inline const CInputRange* FindInputRange(int buttonId)
{
    if (buttonId < IDC_RANGE_FIRST || buttonId > IDC_RANGE_LAST)
        return nullptr;
    return &kInputRanges[buttonId - IDC_RANGE_FIRST];
}
