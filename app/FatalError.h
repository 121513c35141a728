#pragma once

// The exit code of a fatal error that has no code of its own (the loader's or the save's own
// texts): never 0, so that a script or a service manager sees the failure.
constexpr int kFatalExitWithoutCode = 255;

// The one fatal exit of orvex: a message box, then the process ends with the code
// (kFatalExitWithoutCode when the code is 0).
[[noreturn]] void ShowFatalError(const wchar_t* text, int code);
