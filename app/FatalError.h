#pragma once

// The one fatal exit of orvex: a message box, then the process ends with the code.
[[noreturn]] void ShowFatalError(const wchar_t* text, int code);
