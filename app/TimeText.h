#pragma once
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <string>

// The local clock, whole seconds.
boost::posix_time::ptime LocalNow();
// A date-time in a strftime-like format ("%d.%m.%Y %H:%M:%S", "%Y.%m.%d %H", ...).
std::wstring FormatTime(const boost::posix_time::ptime& time, const wchar_t* format);
// Hours (not wrapping at 24), minutes and seconds with colons; a negative span by its magnitude.
std::wstring FormatDuration(boost::posix_time::time_duration span);
