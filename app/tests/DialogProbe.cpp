#include "DialogProbe.h"
#include <commctrl.h>
#include <cstddef>
#include <cstring>
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

namespace {
// Sends a message whose lParam points to `size` bytes, through a copy in the window's process;
// `data` receives the bytes after the call and `extra` bytes that follow them.
LRESULT SendWithRemoteBuffer(HWND window, UINT message, WPARAM wParam, void* data, size_t size,
                             size_t extra = 0, void* extraOut = nullptr, size_t* pointerOffset = nullptr)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return 0;
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, size + extra, MEM_COMMIT, PAGE_READWRITE));
    if (pointerOffset) {
        char* target = remote + size;
        memcpy(static_cast<char*>(data) + *pointerOffset, &target, sizeof target);
    }
    ::WriteProcessMemory(process, remote, data, size, nullptr);
    LRESULT result = ::SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(process, remote, data, size, nullptr);
    if (extra)
        ::ReadProcessMemory(process, remote + size, extraOut, extra, nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return result;
}
}  // namespace

std::wstring ListViewText(HWND list, int row, int column)
{
    const size_t chars = 256;
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = int(chars);
    std::vector<wchar_t> text(chars, L'\0');
    size_t offset = offsetof(LVITEMW, pszText);
    LRESULT length = SendWithRemoteBuffer(list, LVM_GETITEMTEXTW, WPARAM(row), &item, sizeof item,
                                          chars * sizeof(wchar_t), text.data(), &offset);
    return std::wstring(text.data(), size_t(length));
}

namespace {
void PostClick(HWND window, int x, int y)
{
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
}  // namespace

void ClickTab(HWND tab, int index)
{
    RECT rect{};
    SendWithRemoteBuffer(tab, TCM_GETITEMRECT, WPARAM(index), &rect, sizeof rect);
    PostClick(tab, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void ClickListView(HWND list, int row)
{
    RECT rect{};
    if (row < 0) {
        ::GetClientRect(list, &rect);
        PostClick(list, 10, rect.bottom - 5);
        return;
    }
    rect.left = LVIR_BOUNDS;
    SendWithRemoteBuffer(list, LVM_GETITEMRECT, WPARAM(row), &rect, sizeof rect);
    PostClick(list, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
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
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                          SMTO_ABORTIFHUNG, 10000, &result);
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}
