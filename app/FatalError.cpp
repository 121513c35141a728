#include "FatalError.h"
#include <windows.h>

void ShowFatalError(const wchar_t* text, int code)
{
    ::MessageBeep(MB_ICONEXCLAMATION);
    if (code != 0) {
        wchar_t* system = nullptr;
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, DWORD(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                         reinterpret_cast<wchar_t*>(&system), 0, nullptr);
        // wsprintfW stops at 1024 characters; the box shows at most 511 of them.
        wchar_t composed[1025];
        ::wsprintfW(composed, L"%s\nКод ошибки %d: %s", text, code, system ? system : L"");
        composed[511] = L'\0';
        ::MessageBoxW(nullptr, composed, L"КВАРТ-2", MB_ICONERROR);
        if (system)
            ::LocalFree(system);
    } else {
        ::MessageBoxW(nullptr, text, L"КВАРТ-2", MB_ICONERROR);
    }
    ::ExitProcess(UINT(code != 0 ? code : kFatalExitWithoutCode));
}
