#pragma once

// Reads a number written with the decimal comma ("-3,25", " 1,5e3"), as the C runtime's
// wcstod would under Russian regional settings, but whatever locale the process has set:
// the chart control switches the whole process to "Russian" while the engine runs.
// Leading white space and a sign are skipped; reading stops at the first character that
// cannot continue the number. No number at all reads as 0; too large a number as infinity.
double DecimalCommaToDouble(const wchar_t* text);
