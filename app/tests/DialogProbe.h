#pragma once
#include "WindowProbe.h"
#include <windows.h>
#include <string>

// Helpers for tests that read and work the controls of another process's dialog.

// The text of a control (WM_GETTEXT, so edits and combo boxes answer too).
std::wstring ControlText(HWND control);
std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);

int ListViewRowCount(HWND list);
// The text of one cell, read through a buffer in the list's process.
std::wstring ListViewText(HWND list, int row, int column);
// Clicks the middle of a tab (a posted mouse press on the tab control).
void ClickTab(HWND tab, int index);
// Clicks the middle of a list view row, or below the last row for row -1.
void ClickListView(HWND list, int row);

// A posted key press (WM_KEYDOWN) and a posted button press (BM_CLICK).
void PressKey(HWND window, UINT key);
void ClickButton(HWND dialog, int id);
// Selects an entry of a combo box and tells the dialog, waiting until it has handled that.
void SelectComboEntry(HWND dialog, int id, int index);

// The window with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window);

// Polls until the predicate holds or the time is over; returns the last result.
template <class Predicate>
bool WaitUntil(Predicate predicate, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (::GetTickCount() - start >= milliseconds)
            return false;
        ::Sleep(50);
    }
}
