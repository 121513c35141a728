#pragma once
#include "Value.h"
#include <string>

// The text of a value in the list's value column, by its tag, with a decimal point whatever
// the regional settings: integers in decimal, floats in the default notation with 6
// significant digits (23.4568, 1e+006), doubles in scientific notation (1.234568e+003),
// booleans as true or false, strings as they are.
std::wstring ValueText(const CValue& value);

// The text a value shows before the first refresh: its number printed with "%e" under the
// runtime's locale (decimal comma on the installation's machines), three exponent digits.
std::wstring LoadedValueText(const CValue& value);

// What the value column shows for a variable whose formula failed: "ошибка: " and the reason.
std::wstring FailureText(const std::wstring& failure);
