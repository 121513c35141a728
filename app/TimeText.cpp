#include "TimeText.h"
#include <boost/date_time/posix_time/posix_time.hpp>
#include <locale>
#include <sstream>

using boost::posix_time::ptime;
using boost::posix_time::time_duration;
using boost::posix_time::wtime_facet;

namespace {
// The facet is owned by the stream's locale.
std::wstring Format(const wchar_t* timeFormat, const wchar_t* durationFormat, const ptime* time,
                    const time_duration* span)
{
    auto* facet = new wtime_facet(timeFormat);
    facet->time_duration_format(durationFormat);
    std::wostringstream out;
    out.imbue(std::locale(std::locale::classic(), facet));
    if (time)
        out << *time;
    else
        out << *span;
    return out.str();
}
}  // namespace

ptime LocalNow() { return boost::posix_time::second_clock::local_time(); }

std::wstring FormatTime(const ptime& time, const wchar_t* format)
{
    return Format(format, L"%O:%M:%S", &time, nullptr);
}

std::wstring FormatDuration(time_duration span)
{
    if (span.is_negative())
        span = span.invert_sign();
    return Format(L"%d.%m.%Y %H:%M:%S", L"%O:%M:%S", nullptr, &span);
}
