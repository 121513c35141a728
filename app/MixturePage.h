#pragma once
#include "Controller.h"
#include "DialogImpl.h"
#include "ScrollPane.h"
#include <windows.h>
#include <string>
#include <vector>

// The page of the tab "Задание параметров газовой смеси": one row per parameter the operator
// sets (description, name, current value, an edit for the new one) and "Задать", which checks
// every edited value, applies them all at once under the acquisition lock, as a formula's
// result would be applied, and writes them into controller.xml as the `value` of their element.
class CMixturePage : public CDialogImpl {
public:
    explicit CMixturePage(CController& engine) : m_engine(engine) {}

    // Made over the place (the list's area) of the main dialog, hidden, next after it in the tab
    // order.
    void Create(HWND dialog, HWND place);
    // While shown, its "Задать" is the button Enter presses.
    void Show(bool show);
    void Apply();

    // The refresh: the values are copied under the acquisition lock and shown after it.
    void CopyValues();
    void ShowValues();

private:
    struct CRow {
        CVariable* variable;
        HWND value;
        HWND edit;
        std::wstring given;  // the edit's text as the page put it there: any other text is edited
        std::wstring shown;  // the value's text
        CValue copied;       // the value at the latest refresh
        float applied = 0.0f;
        bool unsaved = false;  // applied, but not yet in controller.xml
    };

    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void CreateRows();
    HWND AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style, RECT place, int id);
    // The box naming the field, then the focus back in it.
    void Refuse(CRow& row, const std::wstring& text, const std::wstring& reason);
    void Save();
    std::wstring Text(const CValue& value) const;

    CController& m_engine;
    CScrollPane m_pane;
    std::vector<CRow> m_rows;
    wchar_t m_separator = L',';  // the decimal separator of the user's regional settings
};
