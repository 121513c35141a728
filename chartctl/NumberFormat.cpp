#include "NumberFormat.h"
#include <cmath>
#include <cstdio>
#include <cwchar>

void MakePaintFormat(const wchar_t* chartFormat, float last, wchar_t* out, size_t size)
{
    const bool small = std::fabs(last) < 0.01f;
    if (small)
        _set_output_format(_TWO_DIGIT_EXPONENT);
    size_t i = 0;
    for (; chartFormat[i] && i + 1 < size; ++i) {
        wchar_t c = chartFormat[i];
        if (small && c == L'f')
            c = L'g';
        else if (!small && c == L'g')
            c = L'f';
        out[i] = c;
    }
    out[i] = 0;
}

void PrintNumber(wchar_t* out, size_t size, const wchar_t* format, double value)
{
    if (size == 0)
        return;
    _snwprintf(out, size - 1, format, value);
    out[size - 1] = 0;
}
