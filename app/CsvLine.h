#pragma once
#include "Variable.h"
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <memory>
#include <string>
#include <vector>

using CVariableList = std::vector<std::unique_ptr<CVariable>>;

// The texts of a CSV recording, narrow (code page 1251 on the installation's machines), each
// line ended by CR LF.

// A local date-time in a Boost.Date_Time format, e.g. "%Y.%m.%d %H".
std::string FormatTime(const boost::posix_time::ptime& time, const char* format);
// The recording file of the time: the time in the file-name format, then ".csv".
std::wstring CsvFileName(const boost::posix_time::ptime& time, const char* format);
// "Время" and "name (description)" of every variable, quoted, separated by ";".
std::string CsvHeaderLine(const CVariableList& variables);
// The quoted time stamp, then ";" and the value of every variable (nothing for a variable whose
// formula failed).
std::string CsvDataLine(const boost::posix_time::ptime& time, const CVariableList& variables);
// A value as a 32-bit float, six significant digits, with the decimal separator of the user's
// regional settings (1,23457; 1e+006).
std::string CsvNumber(float value);
