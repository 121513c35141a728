#include "DataExchange.h"
#include "ExponentDigits.h"
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cwchar>

namespace {
const wchar_t* SkipBlanks(const wchar_t* p)
{
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

bool IsRadioButton(HWND control)
{
    return (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

bool StartsGroup(HWND control)
{
    return (::GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) != 0;
}
}  // namespace

bool ParseFloatText(const wchar_t* text, double& value)
{
    const wchar_t* start = SkipBlanks(text);
    wchar_t* end = nullptr;
    double parsed = std::wcstod(start, &end);
    if (end == start || *SkipBlanks(end) != L'\0')
        return false;
    if (parsed == 0.0 && *start != L'0')
        return false;
    // The member is a float: infinity, not-a-number and what a float cannot hold are refused.
    if (!(std::fabs(parsed) <= FLT_MAX))
        return false;
    value = parsed;
    return true;
}

bool ExchangeFloat(HWND dialog, int id, float& member, bool save)
{
    HWND edit = ::GetDlgItem(dialog, id);
    if (!save) {
        wchar_t text[32];
        _snwprintf(text, 32, L"%.*g", 6, double(member));
        text[31] = L'\0';
        ::SetWindowTextW(edit, WithThreeDigitExponent(std::wstring(text)).c_str());
        return true;
    }
    wchar_t text[32] = {};
    ::GetWindowTextW(edit, text, 32);
    double value = 0;
    if (!ParseFloatText(text, value)) {
        ::MessageBeep(0xFFFFFFFF);
        ::SetFocus(edit);
        return false;
    }
    member = float(value);
    return true;
}

bool ExchangeCheck(HWND dialog, int id, int& member, bool save)
{
    HWND box = ::GetDlgItem(dialog, id);
    if (save) {
        member = int(::SendMessageW(box, BM_GETCHECK, 0, 0));
    } else {
        if (member < 0 || member > 2)
            member = 0;
        ::SendMessageW(box, BM_SETCHECK, WPARAM(member), 0);
    }
    return true;
}

bool ExchangeRadio(HWND dialog, int id, int& member, bool save)
{
    HWND button = ::GetDlgItem(dialog, id);
    if (!button)
        return false;
    if (save)
        member = -1;
    int index = 0;
    do {
        if (IsRadioButton(button)) {
            if (save) {
                if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    member = index;
            } else {
                ::SendMessageW(button, BM_SETCHECK, index == member ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
    } while (button && !StartsGroup(button));
    return true;
}

// A text put back unchanged is not set again: setting it repaints the control, and the main
// dialog puts its texts back after every pass.
bool ExchangeText(HWND dialog, int id, std::wstring& member, bool save)
{
    HWND control = ::GetDlgItem(dialog, id);
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(control, &text[0], length + 1)));
    if (!save)
        return text == member || ::SetWindowTextW(control, member.c_str()) != FALSE;
    member = text;
    return true;
}
