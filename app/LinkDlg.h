#pragma once
#include "Controller.h"
#include "DialogImpl.h"
#include <functional>
#include <map>
#include <string>

// Assigns a serial port to each segment, applies the assignment to the transports and saves
// it into controller.xml. Lives for one modal run.
class CLinkDlg : public CDialogImpl {
public:
    // What must happen before a failed save ends orvex (the held recording lines are written);
    // it may ask the operator in a box owned by the given window.
    using BeforeFatalExit = std::function<void(HWND owner)>;

    CLinkDlg(CController& engine, BeforeFatalExit beforeFatalExit)
        : m_engine(engine), m_beforeFatalExit(std::move(beforeFatalExit))
    {
    }

private:
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnInitDialog();
    void OnSave();
    void OnSegmentChanged();
    void OnPortChanged();

    // Selects the first entry after entry 0 (wrapping around to it) that begins with the text;
    // no match leaves the selection as it is.
    static void SelectByPrefix(HWND combo, const std::wstring& text);
    static std::wstring SelectedText(HWND combo);

    CController& m_engine;
    BeforeFatalExit m_beforeFatalExit;
    HWND m_segments = nullptr;
    HWND m_ports = nullptr;
    std::map<std::wstring, std::wstring> m_portMap;  // segment name -> port id
};
