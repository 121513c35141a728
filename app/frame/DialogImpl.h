#pragma once
#include <windows.h>

// Base of the program's dialogs: creates the dialog from its resource, routes its messages to
// the derived class's message map and keeps the window handle.
class CDialogImpl {
public:
    CDialogImpl() = default;
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    HWND Create(HWND parent, int resourceId);
    INT_PTR DoModal(HWND owner, int resourceId);
    HWND m_hWnd = nullptr;

protected:
    virtual ~CDialogImpl() = default;
    // The message map: true when the message was handled, with its result in `result`.
    virtual bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // Centres a window without owner on the work area of its monitor, kept inside that area.
    void CenterWindow();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
