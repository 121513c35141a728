#pragma once
#include <windows.h>
#include <string>

// Text on the lines and in files is ANSI (code page 1251 on the installation's machines);
// inside the programs it is UTF-16.
std::string WideToAnsi(const std::wstring& text, UINT codePage = CP_ACP);
std::wstring AnsiToWide(const std::string& bytes, UINT codePage = CP_ACP);
std::wstring AnsiToWide(const char* bytes, size_t count, UINT codePage = CP_ACP);
