#include "MixturePage.h"
#include "AppModule.h"
#include "DecimalComma.h"
#include "MixtureSettings.h"
#include "SaveAttributes.h"
#include "resource.h"
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {
// Places in dialog units: the rows' pane on the page, and the columns of a row (under the
// page's headers), one row every kRowHeight.
const RECT kPane = {0, 12, 282, 224};
const RECT kDescription = {2, 2, 128, 10};
const RECT kName = {130, 2, 166, 10};
const RECT kValue = {168, 2, 212, 10};
const RECT kEdit = {216, 0, 268, 12};
const int kRowHeight = 14;

RECT InRow(RECT place, int row)
{
    ::OffsetRect(&place, 0, row * kRowHeight);
    return place;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(size_t(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(window, &text[0], int(text.size()))));
    return text;
}
}  // namespace

void CMixturePage::Create(HWND dialog, HWND place)
{
    if (!CDialogImpl::Create(dialog, IDD_MIXTURE))
        return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, IDC_MIXTURE_PAGE);
    RECT area;
    ::GetWindowRect(place, &area);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    ::SetWindowPos(m_hWnd, place, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_NOACTIVATE);
    wchar_t separator[4] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 1)
        m_separator = separator[0];
    if (!m_pane.Create(m_hWnd, IDD_MIXTURE_ROWS))
        return;
    ::SetWindowLongPtrW(m_pane.m_hWnd, GWLP_ID, IDC_MIXTURE_ROWS);
    RECT pane = kPane;
    ::MapDialogRect(m_hWnd, &pane);
    // First in the page's tab order: the edits, then "Задать".
    ::SetWindowPos(m_pane.m_hWnd, HWND_TOP, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                   SWP_NOACTIVATE);
    CreateRows();
}

void CMixturePage::CreateRows()
{
    int row = 0;
    for (auto& owned : m_engine.Variables()) {
        CVariable& variable = *owned;
        if (!IsSettable(variable))
            continue;
        int id = IDC_MIXTURE_FIRST_EDIT + 2 * row;
        std::wstring text = Text(*variable.value);
        AddControl(L"STATIC", variable.description, SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX,
                   InRow(kDescription, row), -1);
        AddControl(L"STATIC", variable.name, SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX, InRow(kName, row), -1);
        HWND value = AddControl(L"STATIC", text, SS_RIGHT | SS_NOPREFIX, InRow(kValue, row), id + 1);
        HWND edit = AddControl(L"EDIT", text, ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, InRow(kEdit, row), id);
        m_rows.push_back({&variable, value, edit, text, text, *variable.value});
        ++row;
    }
    if (m_rows.empty()) {
        AddControl(L"STATIC", L"В controller.xml нет величин, которые задаёт оператор", SS_LEFT | SS_NOPREFIX,
                   {2, 2, 268, 10}, -1);
        ::EnableWindow(Item(IDC_MIXTURE_APPLY), FALSE);
    }
    RECT line = {0, 0, 0, kRowHeight};
    ::MapDialogRect(m_pane.m_hWnd, &line);
    m_pane.SetContent(row * line.bottom, line.bottom);
}

HWND CMixturePage::AddControl(const wchar_t* windowClass, const std::wstring& text, DWORD style, RECT place, int id)
{
    ::MapDialogRect(m_pane.m_hWnd, &place);
    HWND control = ::CreateWindowExW(style & WS_BORDER ? WS_EX_CLIENTEDGE : 0, windowClass, text.c_str(),
                                     WS_CHILD | WS_VISIBLE | (style & ~WS_BORDER), place.left, place.top,
                                     place.right - place.left, place.bottom - place.top, m_pane.m_hWnd,
                                     reinterpret_cast<HMENU>(INT_PTR(id)), g_module.Instance(), nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(m_pane.m_hWnd, WM_GETFONT, 0, 0), FALSE);
    return control;
}

void CMixturePage::Show(bool show)
{
    ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE);
    ::SendMessageW(Item(IDC_MIXTURE_APPLY), BM_SETSTYLE, show ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool CMixturePage::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (message != WM_COMMAND || LOWORD(wParam) != IDC_MIXTURE_APPLY || HIWORD(wParam) != BN_CLICKED)
        return false;
    Apply();
    result = 0;
    return true;
}

// Every edited value is checked before any is applied: one the device cannot take applies none.
void CMixturePage::Apply()
{
    std::vector<std::pair<CRow*, float>> edited;
    for (CRow& row : m_rows) {
        std::wstring text = TextOf(row.edit);
        if (text == row.given)
            continue;
        double value = 0.0;
        if (!ReadDecimal(text, value))
            return Refuse(row, text, L"не число");
        std::wstring refusal = SettingRefusal(*row.variable, value);
        if (!refusal.empty())
            return Refuse(row, text, refusal);
        edited.emplace_back(&row, float(value));
    }
    if (!edited.empty()) {
        // Set as a formula sets its result: the next pass computes, writes to the devices and
        // records with the new values.
        m_engine.EnterLock();
        for (auto& [row, value] : edited)
            row->variable->value->SetFloat(value);
        m_engine.LeaveLock();
        for (auto& [row, value] : edited) {
            row->applied = value;
            row->unsaved = true;
            row->given = row->shown = SettingText(value, m_separator);
            ::SetWindowTextW(row->edit, row->given.c_str());
            ::SetWindowTextW(row->value, row->shown.c_str());
        }
    }
    // Values a failed save left out go into the file with the next "Задать".
    if (std::any_of(m_rows.begin(), m_rows.end(), [](const CRow& row) { return row.unsaved; }))
        Save();
}

// The field gets the focus before the box as well: the dialog gives the focus back to the control
// that had it when the box took it, and the reactivation may come after the box has returned.
void CMixturePage::Refuse(CRow& row, const std::wstring& text, const std::wstring& reason)
{
    HWND dialog = ::GetAncestor(m_hWnd, GA_ROOT);
    std::wstring message = L"Поле «" + row.variable->description + L"» (" + row.variable->name + L"): «" + text +
                           L"» — " + reason + L".\nНичего не задано.";
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(row.edit), TRUE);
    ::MessageBoxW(dialog, message.c_str(), L"МИРЕЛ", MB_ICONWARNING);
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(row.edit), TRUE);
}

void CMixturePage::Save()
{
    CAttributeRewrite items{L"item", L"id", L"value", {}};
    CAttributeRewrite variables{L"variable", L"name", L"value", {}};
    for (const CRow& row : m_rows)
        if (row.unsaved)
            (row.variable->device ? items : variables).values[row.variable->name] = SettingText(row.applied, L',');
    std::wstring error;
    int code = 0;
    if (!SaveAttributes(L"controller.xml", {items, variables}, error, code)) {
        wchar_t codeText[48] = L"";
        if (code != 0)
            _snwprintf(codeText, 47, L"\nКод ошибки %d", code);
        std::wstring message = L"Значения заданы и действуют, но не записаны в controller.xml: при следующем запуске "
                               L"будут прежние.\n" + error + codeText;
        ::MessageBoxW(::GetAncestor(m_hWnd, GA_ROOT), message.c_str(), L"МИРЕЛ", MB_ICONWARNING);
        return;
    }
    for (CRow& row : m_rows)
        row.unsaved = false;
}

void CMixturePage::CopyValues()
{
    for (CRow& row : m_rows)
        row.copied = *row.variable->value;
}

void CMixturePage::ShowValues()
{
    for (CRow& row : m_rows) {
        std::wstring text = Text(row.copied);
        if (text != row.shown)
            ::SetWindowTextW(row.value, (row.shown = text).c_str());
    }
}

std::wstring CMixturePage::Text(const CValue& value) const
{
    return SettingText(float(value.AsNumber()), m_separator);
}
