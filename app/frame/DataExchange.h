#pragma once
#include <windows.h>
#include <string>

// Data exchange between dialog controls and members: save = true moves the control's content
// into the member, false shows the member in the control. Each returns false on failure.

// A float in an edit ("%.*g", precision 6, under the C runtime locale). An unreadable text
// beeps, moves the focus to the edit and leaves the member as it was.
bool ExchangeFloat(HWND dialog, int id, float& member, bool save);
// The check state of a check box (0, 1 or 2).
bool ExchangeCheck(HWND dialog, int id, int& member, bool save);
// The index of the checked button of the radio group that starts at `id`, -1 for none.
bool ExchangeRadio(HWND dialog, int id, int& member, bool save);
// The text of a control.
bool ExchangeText(HWND dialog, int id, std::wstring& member, bool save);

// Parses a number the way the float exchange reads it (blanks and tabs around it only; a zero
// result must be written beginning with the digit 0; it must fit a float: no 1e39, no infinity).
bool ParseFloatText(const wchar_t* text, double& value);
