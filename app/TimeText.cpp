#include "TimeText.h"
#include <boost/date_time/posix_time/conversion.hpp>
#include <cstdio>
#include <ctime>
#include <cwchar>

using boost::posix_time::ptime;
using boost::posix_time::time_duration;

ptime LocalNow() { return boost::posix_time::second_clock::local_time(); }

// The C runtime prints the fields. A stream with Boost's time facet would print them through
// the standard library's time_put, which switches the whole process's locale to "C" and back
// for every text: half a millisecond under Wine, and meanwhile other threads print numbers
// with a decimal point.
std::wstring FormatTime(const ptime& time, const wchar_t* format)
{
    std::tm fields = boost::posix_time::to_tm(time);
    wchar_t text[128];
    return std::wstring(text, std::wcsftime(text, 128, format, &fields));
}

std::wstring FormatDuration(time_duration span)
{
    if (span.is_negative())
        span = span.invert_sign();
    wchar_t text[32];
    int length = _snwprintf(text, 32, L"%02ld:%02d:%02d", long(span.hours()), int(span.minutes()), int(span.seconds()));
    return std::wstring(text, length > 0 ? size_t(length) : 0);
}
