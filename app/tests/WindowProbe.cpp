#include "WindowProbe.h"

CStartedProcess::~CStartedProcess()
{
    if (info.hProcess) {
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(info.hProcess, 1);
        ::CloseHandle(info.hProcess);
        ::CloseHandle(info.hThread);
    }
}

bool CStartedProcess::Start(const std::wstring& commandLine, const std::wstring& directory)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;
    return ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                            directory.empty() ? nullptr : directory.c_str(), &startup, &info) != FALSE;
}

int CStartedProcess::Wait(DWORD milliseconds)
{
    if (::WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return int(code);
}

namespace {
struct Search {
    DWORD processId;
    const wchar_t* windowClass;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t cls[64] = {};
    ::GetClassNameW(window, cls, 64);
    if (owner == search->processId && wcscmp(cls, search->windowClass) == 0 &&
        (!search->caption || WindowText(window) == search->caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND WaitForWindow(DWORD processId, const wchar_t* windowClass, const wchar_t* caption, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    Search search{processId, windowClass, caption, nullptr};
    for (;;) {
        ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= milliseconds)
            break;
        ::Sleep(50);
    }
    // A dialog has its caption before its initialisation ends (a message box's text comes after
    // it); it is shown once that is done.
    while (search.found && !::IsWindowVisible(search.found) && ::GetTickCount() - start < milliseconds)
        ::Sleep(20);
    return search.found;
}

std::wstring WindowText(HWND window)
{
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

std::wstring MessageBoxText(HWND box)
{
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\'));
}
