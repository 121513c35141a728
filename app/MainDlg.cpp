#include "MainDlg.h"
#include "InputRanges.h"
#include "AppModule.h"
#include "DataExchange.h"
#include "DispatchByName.h"
#include "LinkDlg.h"
#include "RefreshFigures.h"
#include "TimeText.h"
#include "resource.h"
#include <cstdio>
#include <map>

namespace {
const wchar_t kChartProgId[] = L"norvctrl2.ChartView.1";
const wchar_t kStartText[] = L"Старт";
const wchar_t kStopText[] = L"Стоп";
const wchar_t kLinkReportCaption[] = L"МИРЕЛ. Проверка связи с модулями сбора данных";
const int kExchangeOrder[] = {IDC_MIN_LEVEL, IDC_MAX_LEVEL,  IDC_RECORD,     IDC_SPLIT_HOURLY, IDC_ALARM_ENABLED,
                              IDC_SOURCE_FIRST, IDC_FILE_NAME, IDC_START_TIME, IDC_DURATION};
const int kSetupControls[] = {IDC_PORT, IDC_LINK, IDC_SPLIT_HOURLY};  // and the scale buttons
// The dialog's one timer: it retries held CSV lines.
const UINT_PTR kHeldLinesTimer = 1;
const UINT kHeldLinesRetryMs = 3000;
const wchar_t kHeldLinesAdvice[] =
    L"\nЗакройте программу, которая держит файл, и нажмите «Повтор». «Отмена» завершит работу без этих строк.";
}  // namespace

CMainDlg::CMainDlg(CController& engine) : m_engine(engine), m_mixture(engine), m_startTime(LocalNow()) {}

bool CMainDlg::PreTranslateMessage(MSG& msg)
{
    if (::TranslateAcceleratorW(m_hWnd, m_accel, &msg))
        return true;
    return ::IsDialogMessageW(m_hWnd, &msg) != FALSE;
}

bool CMainDlg::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_CYCLE_FAILED:
        OnCycleFailed();
        return true;
    case WM_TIMER:
        if (wParam == kHeldLinesTimer)
            OnRetryHeldLines();
        return true;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        return true;
    default:
        if (message != 0 && message == CController::PassDoneMessage()) {
            OnPassDone();
            return true;
        }
        if (message == 0 || message != RefreshFiguresMessage())
            return false;
        result = wParam == RefreshCount ? LRESULT(m_refreshCount) : LRESULT(m_refreshMicroseconds);
        return true;
    }
}

bool CMainDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_START: OnStartStop(); return true;
    case IDC_EXIT: OnExit(); return true;
    case ID_PORT_KEY:
    case IDC_PORT: OnLinkDialog(); return true;
    case IDC_LINK: OnCheckLinks(); return true;
    case IDC_APPLY_LEVELS: OnApplyLevels(); return true;
    case IDC_MIXTURE_APPLY: m_mixture.Apply(); return true;  // Enter while the page is shown
    default:
        if (!FindInputRange(id))
            return false;
        OnSetRange(id);
        return true;
    }
}

void CMainDlg::OnSetRange(int id)
{
    if (!m_engine.SetInputRange(FindInputRange(id)->code))
        ::MessageBoxW(nullptr, L"Ошибка при установке масштаба", L"МИРЕЛ", MB_ICONERROR);
}

void CMainDlg::OnNotify(NMHDR& header)
{
    if (header.idFrom == IDC_LIST && header.code == LVN_GETDISPINFOW)
        ShowValueText(reinterpret_cast<NMLVDISPINFOW&>(header).item);
    else if (header.idFrom == IDC_LIST && (header.code == NM_CLICK || header.code == NM_DBLCLK))
        OnChooseVariable(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
    else if (header.idFrom == IDC_TAB && header.code == TCN_SELCHANGE)
        OnTabChanged();
}

LRESULT CMainDlg::OnInitDialog()
{
    m_minLevel = -250000000.0f;
    m_maxLevel = 250000000.0f;
    m_source = 0;
    m_resources.FilePath("Sound");  // puts the alarm clip beside the configuration when missing
    CenterWindow();
    HINSTANCE instance = g_module.Instance();
    m_accel = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    m_bigIcon = CIcon(instance, IDR_MAINFRAME, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    m_smallIcon = CIcon(instance, IDR_MAINFRAME, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(HICON(m_bigIcon)));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(HICON(m_smallIcon)));
    if (CMessageLoop* loop = g_module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    ::SetTimer(m_hWnd, kHeldLinesTimer, kHeldLinesRetryMs, nullptr);
    CreateChart();
    m_engine.ComputeStartValues();  // the list starts with the computed values
    FillTabs();
    FillList();
    m_mixture.Create(m_hWnd, m_list);
    m_chartVariable = m_engine.Variables().empty() ? nullptr : m_engine.Variables().front().get();
    if (m_chartVariable)
        ShowInChart(*m_chartVariable);
    DoDataExchange(false);
    return 1;
}

void CMainDlg::OnDestroy()
{
    if (CMessageLoop* loop = g_module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

void CMainDlg::CreateChart()
{
    HWND placeholder = Item(IDC_CHART);
    RECT rect;
    ::GetWindowRect(placeholder, &rect);
    ::DestroyWindow(placeholder);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    if (!m_host.Create(m_hWnd, rect))
        return;
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(kChartProgId, &clsid)))
        return;
    CComPtr<IClassFactory> factory;
    if (FAILED(::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory))))
        return;
    CComPtr<IDispatch> chart;
    if (FAILED(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&chart))))
        return;
    // A control the host did not take is never called: orvex runs without a chart.
    if (FAILED(m_host.AttachControl(chart)))
        return;
    m_chart = chart;
}

void CMainDlg::FillTabs()
{
    m_tab = Item(IDC_TAB);
    const wchar_t* titles[] = {L"Список переменных", L"Задание параметров газовой смеси"};
    for (int i = 0; i < 2; ++i) {
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(titles[i]);
        ::SendMessageW(m_tab, TCM_INSERTITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&tab));
    }
}

namespace {
void AddColumn(HWND list, int index, const wchar_t* title, int format, int width)
{
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    ::SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(index), reinterpret_cast<LPARAM>(&column));
}

void AddGroup(HWND list, int id, const std::wstring& header)
{
    LVGROUP group{};
    group.cbSize = sizeof group;
    group.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_ALIGN;
    group.pszHeader = const_cast<wchar_t*>(header.c_str());
    group.iGroupId = id;
    group.uAlign = LVGA_HEADER_LEFT;
    ::SendMessageW(list, LVM_INSERTGROUP, WPARAM(-1), reinterpret_cast<LPARAM>(&group));
}

void SetCellText(HWND list, int row, int column, const wchar_t* text)
{
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text);
    ::SendMessageW(list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
}
}  // namespace

void CMainDlg::FillList()
{
    m_list = Item(IDC_LIST);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT |
                                                  LVS_EX_DOUBLEBUFFER | LVS_EX_SINGLEROW);
    AddColumn(m_list, 0, L"Описание", LVCFMT_LEFT, 120);
    AddColumn(m_list, 1, L"Имя", LVCFMT_RIGHT, 40);
    AddColumn(m_list, kValueColumn, L"Значение", LVCFMT_RIGHT, 100);
    RECT client;
    ::GetClientRect(m_list, &client);
    ListView_SetColumnWidth(m_list, 0, client.right - ::GetSystemMetrics(SM_CXVSCROLL) - 140);
    ListView_SetTextColor(m_list, RGB(0, 115, 0));
    ListView_EnableGroupView(m_list, TRUE);

    AddGroup(m_list, 0, L"Вычисляемые значения");
    std::map<const CDevice*, int> groups;
    for (size_t i = 0; i < m_engine.Devices().size(); ++i) {
        const CDevice& device = *m_engine.Devices()[i];
        groups[&device] = int(i) + 1;
        AddGroup(m_list, int(i) + 1, device.description + L" [" + device.transport->name + L"]");
    }
    for (size_t i = 0; i < m_engine.Variables().size(); ++i) {
        CVariable& variable = *m_engine.Variables()[i];
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_PARAM | LVIF_GROUPID;
        row.iItem = int(i);
        row.iGroupId = variable.device ? groups[variable.device] : 0;
        row.pszText = const_cast<wchar_t*>(variable.description.c_str());
        row.lParam = reinterpret_cast<LPARAM>(&variable);
        int index = int(::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        SetCellText(m_list, index, 1, variable.name.c_str());
        // The list asks for the value texts of the rows it paints (ShowValueText).
        SetCellText(m_list, index, 2, LPSTR_TEXTCALLBACKW);
        m_rows.push_back(&variable);
        m_shownValues.push_back(*variable.value);
        m_shownFailures.push_back(variable.failure);
    }
    ListView_SetItemState(m_list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_list, 0, FALSE);
}

void CMainDlg::ShowInChart(const CVariable& variable)
{
    if (!m_chart)
        return;
    CVariant title;
    title.vt = VT_BSTR;
    title.bstrVal = ::SysAllocString(variable.description.c_str());
    PutPropertyByName(m_chart, L"Title", title);
    CVariant precision;
    precision.vt = VT_UI2;
    precision.uiVal = variable.precision;
    CallByName(m_chart, L"Precision", precision);
}

bool CMainDlg::DoDataExchange(bool save, int id)
{
    for (int control : kExchangeOrder) {
        if (id != -1 && id != control)
            continue;
        bool ok = true;
        switch (control) {
        case IDC_MIN_LEVEL: ok = ExchangeFloat(m_hWnd, control, m_minLevel, save); break;
        case IDC_MAX_LEVEL: ok = ExchangeFloat(m_hWnd, control, m_maxLevel, save); break;
        case IDC_RECORD: ok = ExchangeCheck(m_hWnd, control, m_record, save); break;
        case IDC_SPLIT_HOURLY: ok = ExchangeCheck(m_hWnd, control, m_splitHourly, save); break;
        case IDC_ALARM_ENABLED: ok = ExchangeCheck(m_hWnd, control, m_alarmEnabled, save); break;
        case IDC_SOURCE_FIRST: ok = ExchangeRadio(m_hWnd, control, m_source, save); break;
        case IDC_FILE_NAME: ok = ExchangeText(m_hWnd, control, m_fileName, save); break;
        case IDC_START_TIME: ok = ExchangeText(m_hWnd, control, m_startText, save); break;
        case IDC_DURATION: ok = ExchangeText(m_hWnd, control, m_durationText, save); break;
        }
        if (!ok)
            return false;
    }
    return true;
}

void CMainDlg::EnableSetupControls(bool enable)
{
    for (int id : kSetupControls)
        ::EnableWindow(Item(id), enable);
    for (int id = IDC_RANGE_FIRST; id <= IDC_RANGE_LAST; ++id)
        ::EnableWindow(Item(id), enable);
}

void CMainDlg::OnStartStop()
{
    HWND button = Item(IDC_START);
    if (!::IsWindowEnabled(button))
        return;
    wchar_t text[255] = {};
    ::GetWindowTextW(button, text, 255);
    if (wcscmp(text, kStartText) == 0) {
        m_startTime = LocalNow();
        DoDataExchange(true);
        ::SetWindowTextW(button, kStopText);
        EnableSetupControls(false);
        // A cycle that cannot start (no timer queue, a segment thread missing) leaves the dialog stopped.
        if (!m_engine.StartCycle(m_hWnd)) {
            ::SetWindowTextW(button, kStartText);
            EnableSetupControls(true);
            ::MessageBoxW(m_hWnd, L"Не удалось запустить опрос устройств", L"МИРЕЛ", MB_ICONERROR);
        }
    } else {
        m_engine.StopCycle();
        DoDataExchange(false);
        ::SetWindowTextW(button, kStartText);
        EnableSetupControls(true);
    }
}

void CMainDlg::OnExit()
{
    // No pass may run into the engine while the window and the engine are torn down.
    m_engine.StopCycle();
    WriteHeldLinesBeforeEnd(m_hWnd);
    ::DestroyWindow(m_hWnd);
    ::PostQuitMessage(IDC_EXIT);
}

// Held CSV lines are written before orvex ends, or left only when the operator says so.
void CMainDlg::WriteHeldLinesBeforeEnd(HWND owner)
{
    while (!m_recorder.Flush(m_engine.Variables()) &&
           ::MessageBoxW(owner, (m_recorder.PendingReport() + kHeldLinesAdvice).c_str(), L"МИРЕЛ",
                         MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY) {
    }
}

void CMainDlg::OnCycleFailed()
{
    // A failure still queued after the stop (a second failed pass, or one handled inside the
    // link report's box) must neither start acquisition again nor show another report.
    if (!m_engine.IsCycleRunning())
        return;
    PressButton(IDC_START);
    PressButton(IDC_LINK);
}

void CMainDlg::PressButton(int id)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void CMainDlg::OnLinkDialog()
{
    if (!IsEnabled(IDC_PORT))
        return;
    // Owned by the main dialog, which stays disabled while the port dialog is open. A save that
    // fails ends orvex, but not before the held CSV lines had their chance.
    CLinkDlg dialog(m_engine, [this](HWND owner) { WriteHeldLinesBeforeEnd(owner); });
    dialog.DoModal(m_hWnd, IDD_LINKDLG);
}

void CMainDlg::OnCheckLinks()
{
    if (!IsEnabled(IDC_LINK))
        return;
    std::wstring report;
    bool ok = m_engine.CheckLinks(report);
    ::EnableWindow(Item(IDC_START), ok);
    ::MessageBoxW(m_hWnd, report.c_str(), kLinkReportCaption, MB_ICONINFORMATION);
}

void CMainDlg::OnApplyLevels()
{
    if (DoDataExchange(true, IDC_MIN_LEVEL))
        DoDataExchange(true, IDC_MAX_LEVEL);
}

void CMainDlg::OnChooseVariable(int row)
{
    m_chartVariable = nullptr;
    if (row >= 0) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            m_chartVariable = reinterpret_cast<CVariable*>(item.lParam);
    }
    if (m_chartVariable)
        ShowInChart(*m_chartVariable);
}

void CMainDlg::OnTabChanged()
{
    bool list = ::SendMessageW(m_tab, TCM_GETCURSEL, 0, 0) == 0;
    ::ShowWindow(m_list, list ? SW_SHOW : SW_HIDE);
    m_mixture.Show(!list);
    // Enter presses "Задать" of the page while it is shown, else "Старт".
    ::SendMessageW(m_hWnd, DM_SETDEFID, list ? IDC_START : IDC_MIXTURE_APPLY, 0);
}
