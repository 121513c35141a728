#pragma once
#include <string>

// Reads a number written with the decimal comma ("-3,25", " 1,5e3"), as the C runtime's
// wcstod would under Russian regional settings, but whatever locale the process has set:
// the chart control switches the whole process to "Russian" while the engine runs.
// Leading white space and a sign are skipped; reading stops at the first character that
// cannot continue the number. No number at all reads as 0; too large a number as infinity.
double DecimalCommaToDouble(const wchar_t* text);

// Reads a text that is one number and nothing else but blanks around it, written with a decimal
// comma or a decimal point ("12,5", "12.5", "-1e-3"), as an operator or controller.xml writes
// a value. False for anything else, and for a number a float cannot hold.
bool ReadDecimal(const std::wstring& text, double& value);
