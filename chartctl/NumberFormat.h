#pragma once
#include <cstddef>

// This paint's number format from the chart's: below 0.01 in magnitude the latest value is
// shown in the g form (and the runtime then prints two-digit exponents, process-wide),
// otherwise in the f form.
void MakePaintFormat(const wchar_t* chartFormat, float last, wchar_t* out, size_t size);

// Prints one number with the C runtime's wide printf under the process locale. The text is cut
// to the buffer (a format with a very large precision) and always terminated.
void PrintNumber(wchar_t* out, size_t size, const wchar_t* format, double value);
