#include "LinkDlg.h"
#include "FatalError.h"
#include "SaveAttributes.h"
#include "resource.h"
#include <cstdio>

namespace {
// As in controller.xml: a port id that begins with two backslashes is a pipe's path.
bool IsPipePath(const std::wstring& id) { return id.compare(0, 2, L"\\\\") == 0; }
}  // namespace

bool CLinkDlg::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        result = 1;
        return true;
    }
    if (message != WM_COMMAND)
        return false;
    switch (LOWORD(wParam)) {
    case IDOK: OnSave(); return true;
    case IDCANCEL: ::EndDialog(m_hWnd, IDCANCEL); return true;
    case IDC_SEGMENT_LIST:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnSegmentChanged();
        return true;
    case IDC_PORT_LIST:
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnPortChanged();
        return true;
    default: return false;
    }
}

void CLinkDlg::OnInitDialog()
{
    m_segments = Item(IDC_SEGMENT_LIST);
    m_ports = Item(IDC_PORT_LIST);
    for (int n = 1; n <= 31; ++n) {
        wchar_t port[16];
        _snwprintf(port, 16, L"COM%d", n);
        port[15] = L'\0';
        ::SendMessageW(m_ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port));
    }
    for (auto& transport : m_engine.Transports())
        ::SendMessageW(m_segments, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(transport->name.c_str()));
    if (!m_engine.Transports().empty())
        SelectByPrefix(m_ports, m_engine.Transports().front()->GetPortId());
    SelectByPrefix(m_segments, L"Iva");
    // Without a segment of that name the first one is shown, so that a port chosen at once
    // goes to a segment.
    if (::SendMessageW(m_segments, CB_GETCURSEL, 0, 0) == CB_ERR)
        ::SendMessageW(m_segments, CB_SETCURSEL, 0, 0);
    for (auto& transport : m_engine.Transports())
        m_portMap[transport->name] = transport->GetPortId();
}

void CLinkDlg::OnSave()
{
    // Only serial segments take a port; a pipe segment keeps its path, in force and in the file.
    std::map<std::wstring, std::wstring> assigned;
    for (auto& transport : m_engine.Transports()) {
        if (IsPipePath(transport->GetPortId()))
            continue;
        const std::wstring& id = m_portMap[transport->name];
        transport->SetPortId(id);
        assigned[transport->name] = id;
    }
    std::wstring errorText;
    int errorCode = 0;
    if (!SavePortIds(L"controller.xml", assigned, errorText, errorCode)) {
        m_beforeFatalExit(m_hWnd);
        ShowFatalError(errorText.c_str(), errorCode);
    }
    ::EndDialog(m_hWnd, IDOK);
}

void CLinkDlg::OnSegmentChanged()
{
    auto it = m_portMap.find(SelectedText(m_segments));
    if (it != m_portMap.end())
        SelectByPrefix(m_ports, it->second);
}

void CLinkDlg::OnPortChanged()
{
    m_portMap[SelectedText(m_segments)] = SelectedText(m_ports);
}

void CLinkDlg::SelectByPrefix(HWND combo, const std::wstring& text)
{
    ::SendMessageW(combo, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring CLinkDlg::SelectedText(HWND combo)
{
    LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return L"";
    std::wstring text(size_t(::SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(index), 0)) + 1, L'\0');
    text.resize(size_t(::SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}
