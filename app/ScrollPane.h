#pragma once
#include "DialogImpl.h"
#include <windows.h>

// A child dialog whose controls scroll up and down when they are taller than it: by its scroll
// bar, the mouse wheel, and by bringing an edit that gets the focus (the Tab key) into view.
class CScrollPane : public CDialogImpl {
public:
    // The height of the controls, in pixels, and of one step of the arrows and the wheel.
    void SetContent(int height, int line);

private:
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnScroll(int request);
    void OnWheel(short delta);
    void ShowControl(HWND control);
    void ScrollTo(int position);
    int PageHeight() const;

    int m_height = 0;
    int m_line = 1;
    int m_position = 0;
};
