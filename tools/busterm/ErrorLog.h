#pragma once
#include <windows.h>
#include <string>

// The serial error log that ERRORS shows. A write failure replaces it; read failures and empty
// replies are appended, and a log grown past 1024 characters starts again empty.
void LogWriteError(std::wstring& log, DWORD code);
void LogReadError(std::wstring& log, DWORD code);
