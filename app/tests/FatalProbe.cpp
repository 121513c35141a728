// Calls ShowFatalError with the text and code of its command line: fatalprobe <code> <text>
// (the text "@long" stands for a text longer than the box's buffer).
#include "FatalError.h"
#include <windows.h>
#include <shellapi.h>
#include <cstdlib>
#include <string>

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc < 3)
        return 100;
    std::wstring text = argv[2];
    if (text == L"@long")
        text = std::wstring(700, L'Ж') + L"END";
    ShowFatalError(text.c_str(), _wtoi(argv[1]));
}
