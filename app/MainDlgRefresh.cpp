// The display refresh of the main dialog after each good acquisition pass.
#include "MainDlg.h"
#include "AlarmBand.h"
#include "DispatchByName.h"
#include "TimeText.h"
#include "ValueText.h"
#include "resource.h"

void CMainDlg::OnTimer()
{
    m_duration = LocalNow() - m_startTime;
    // Under the lock the refresh sees the values of whole passes only.
    m_engine.EnterLock();
    m_engine.SetValue(L"Y0", float(m_source));
    UpdateTimeTexts();
    UpdateValueColumn();
    if (m_record)
        WriteCsvLine(m_splitHourly ? "%Y.%m.%d %H" : "%Y.%m.%d");
    if (m_chartVariable) {
        TestAlarm();
        AddChartPoint();
    }
    m_engine.LeaveLock();
    // Changes the operator made during acquisition take effect from the next refresh on.
    for (int id : {IDC_RECORD, IDC_SPLIT_HOURLY, IDC_ALARM_ENABLED, IDC_SOURCE_FIRST})
        DoDataExchange(true, id);
    for (int id : {IDC_START_TIME, IDC_DURATION, IDC_FILE_NAME})
        DoDataExchange(false, id);
}

void CMainDlg::WriteCsvLine(const char* format)
{
    m_recorder.WriteCsvLine(format, m_engine.variables);
    m_fileName = m_recorder.StatusText();  // the file's name, and a note while lines wait
}

// Lines held for a locked file go to it as soon as it opens, also while acquisition is stopped or
// recording is off.
void CMainDlg::OnRetryHeldLines()
{
    if (m_recorder.PendingLines() == 0)
        return;
    m_recorder.Flush(m_engine.variables);
    m_fileName = m_recorder.StatusText();
    DoDataExchange(false, IDC_FILE_NAME);
}

void CMainDlg::TestAlarm()
{
    if (IsAlarm(float(m_chartVariable->value->AsNumber()), m_minLevel, m_maxLevel, m_alarmEnabled))
        SoundAlarm(m_resources, m_player);
}

void CMainDlg::UpdateTimeTexts()
{
    m_startText = FormatTime(m_startTime, L"%d.%m.%Y %H:%M:%S");
    m_durationText = FormatDuration(m_duration);
}

void CMainDlg::UpdateValueColumn()
{
    int rows = int(::SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        auto* variable = reinterpret_cast<const CVariable*>(item.lParam);
        std::wstring text = ValueText(*variable->value);
        LVITEMW cell{};
        cell.iSubItem = 2;
        cell.pszText = const_cast<wchar_t*>(text.c_str());
        ::SendMessageW(m_list, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
    }
}

void CMainDlg::AddChartPoint()
{
    if (!m_chart)
        return;
    CVariant point;
    point.vt = VT_R4;
    point.fltVal = float(m_chartVariable->value->AsNumber());
    CallByName(m_chart, L"Add", point);
}
