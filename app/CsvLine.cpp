#include "CsvLine.h"
#include "CrtLocale.h"
#include "ExponentDigits.h"
#include "TextConv.h"
#include "Value.h"
#include "Variable.h"
#include <boost/date_time/posix_time/conversion.hpp>
#include <cstdio>
#include <ctime>

// Printed by the C runtime, as in TimeText.cpp: Boost's time facet would switch the process's
// locale for every line.
std::string FormatTime(const boost::posix_time::ptime& time, const char* format)
{
    std::tm fields = boost::posix_time::to_tm(time);
    char text[128];
    return std::string(text, std::strftime(text, sizeof text, format, &fields));
}

std::wstring CsvFileName(const boost::posix_time::ptime& time, const char* format)
{
    return AnsiToWide(FormatTime(time, format) + ".csv");
}

std::string CsvHeaderLine(const CVariableList& variables)
{
    std::string line = "\"" + WideToAnsi(L"Время", 1251) + "\"";
    for (const auto& v : variables)
        line += ";\"" + WideToAnsi(v->name + L" (" + v->description + L")", CP_THREAD_ACP) + "\"";
    return line + "\r\n";
}

std::string CsvDataLine(const boost::posix_time::ptime& time, const CVariableList& variables)
{
    std::string line = "\"" + FormatTime(time, "%d.%m.%Y %H:%M:%S") + "\"";
    // A variable whose formula failed in this pass has no value to record: its field stays empty.
    for (const auto& v : variables)
        line += ";" + (!v->failure.empty() ? std::string() : CsvNumber(v->value ? float(v->value->AsNumber()) : 0.0f));
    return line + "\r\n";
}

std::string CsvNumber(float value)
{
    // The user's language and country with code page 1251, whatever the process has set since.
    static const CCrtLocale regional(LC_NUMERIC, ".1251");
    char text[64];
    int n = ::_snprintf_l(text, sizeof text, "%g", regional, double(value));
    return WithThreeDigitExponent(std::string(text, n > 0 ? size_t(n) : 0));
}
