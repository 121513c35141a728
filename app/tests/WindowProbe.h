#pragma once
#include <windows.h>
#include <string>

// Helpers for tests that start a program and work its windows from outside.
struct CStartedProcess {
    PROCESS_INFORMATION info{};
    ~CStartedProcess();
    bool Start(const std::wstring& commandLine, const std::wstring& directory = L"");
    // The exit code, or -1 when the process did not end within the time.
    int Wait(DWORD milliseconds);
};

// The top-level window of the given class and caption belonging to a process, waiting for it and
// then for it to be shown.
HWND WaitForWindow(DWORD processId, const wchar_t* windowClass, const wchar_t* caption, DWORD milliseconds);

std::wstring WindowText(HWND window);

// The text of a message box (its static control).
std::wstring MessageBoxText(HWND box);

// The folder of the running test program (the build's bin folder).
std::wstring ProgramFolder();
