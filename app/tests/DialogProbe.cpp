#include "DialogProbe.h"
#include <commctrl.h>
#include <vector>

std::wstring ControlText(HWND control)
{
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::vector<wchar_t> text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &copied);
    return std::wstring(text.data(), copied);
}

std::wstring ItemText(HWND dialog, int id) { return ControlText(::GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::wstring& text)
{
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ListViewRowCount(HWND list) { return int(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListViewText(HWND list, int row, int column)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return L"<no process>";
    const size_t chars = 256;
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + chars * sizeof(wchar_t),
                                                       MEM_COMMIT, PAGE_READWRITE));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = int(chars);
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    LRESULT length = ::SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(remote));
    std::vector<wchar_t> text(chars, L'\0');
    ::ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), chars * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return std::wstring(text.data(), size_t(length));
}

void PressKey(HWND window, UINT key)
{
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

void ClickButton(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SelectComboEntry(HWND dialog, int id, int index)
{
    HWND combo = ::GetDlgItem(dialog, id);
    ::SendMessageW(combo, CB_SETCURSEL, WPARAM(index), 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}
