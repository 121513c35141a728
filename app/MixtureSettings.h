#pragma once
#include "Variable.h"
#include <string>

// What the operator may set on the tab "Задание параметров газовой смеси", and how.

// A free variable without a formula, or an output that no formula computes. Y0 is none of them:
// the "Исток" choice sets it at every refresh.
bool IsSettable(const CVariable& variable);

// Why the variable's device cannot take the value: an RRG-12 set point outside 0..655,35, a
// digital output other than 0 or 1. Empty when it can.
std::wstring SettingRefusal(const CVariable& variable, double value);

// A value in as few significant digits as give the same float back (12,5 rather than
// 12,50000000), with the given decimal separator.
std::wstring SettingText(float value, wchar_t separator);
