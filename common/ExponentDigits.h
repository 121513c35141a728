#pragma once
#include <string>

// msvcrt prints three exponent digits (1e+006) until some code in the process calls
// _set_output_format(_TWO_DIGIT_EXPONENT), as the chart control does when it paints a small
// value; from then on it prints two (1e+06). A printed number passed through here has three
// digits whatever that process-wide setting is, so a file or a column never changes form midway.
template <class Char>
std::basic_string<Char> WithThreeDigitExponent(std::basic_string<Char> number)
{
    size_t digits = number.find_first_of(std::basic_string<Char>{Char('e'), Char('E')});
    if (digits == std::basic_string<Char>::npos)
        return number;
    if (++digits < number.size() && (number[digits] == Char('+') || number[digits] == Char('-')))
        ++digits;
    size_t end = digits;
    while (end < number.size() && number[end] >= Char('0') && number[end] <= Char('9'))
        ++end;
    if (end > digits && end - digits < 3)
        number.insert(digits, 3 - (end - digits), Char('0'));
    return number;
}
