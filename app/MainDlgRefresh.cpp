// The display refresh of the main dialog after each good acquisition pass.
#include "MainDlg.h"
#include "AlarmBand.h"
#include "DispatchByName.h"
#include "TimeText.h"
#include "ValueText.h"
#include "Stopwatch.h"
#include "resource.h"
#include <algorithm>

void CMainDlg::OnPassDone()
{
    CStopwatch timer;
    m_duration = LocalNow() - m_startTime;
    {
        CAcquisitionLock lock(m_engine);
        m_engine.SetValue(L"Y0", float(m_source));
        UpdateTimeTexts();
        UpdateValueColumn();
        m_mixture.CopyValues();
        if (m_record)
            WriteCsvLine(m_splitHourly ? "%Y.%m.%d %H" : "%Y.%m.%d");
        if (m_chartVariable) {
            TestAlarm();
            AddChartPoint();
        }
    }
    // Changes the operator made during acquisition take effect from the next refresh on.
    for (int id : {IDC_RECORD, IDC_SPLIT_HOURLY, IDC_ALARM_ENABLED, IDC_SOURCE_FIRST})
        DoDataExchange(true, id);
    for (int id : {IDC_START_TIME, IDC_DURATION, IDC_FILE_NAME})
        DoDataExchange(false, id);
    m_mixture.ShowValues();
    ++m_refreshCount;
    m_refreshMicroseconds = unsigned(timer.Milliseconds() * 1000.0);
}

void CMainDlg::WriteCsvLine(const char* format)
{
    m_recorder.WriteCsvLine(format, m_engine.Variables());
    m_fileName = m_recorder.StatusText();  // the file's name, and a note while lines wait
}

// Lines held for a locked file go to it as soon as it opens, also while acquisition is stopped or
// recording is off.
void CMainDlg::OnRetryHeldLines()
{
    if (m_recorder.PendingLines() == 0)
        return;
    m_recorder.Flush(m_engine.Variables());
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

// The values of this pass are copied for the rows; the list then repaints the value column of
// the rows it shows and asks for those texts only, so a refresh costs little however long the
// list is.
void CMainDlg::UpdateValueColumn()
{
    for (size_t row = 0; row < m_rows.size(); ++row) {
        m_shownValues[row] = *m_rows[row]->value;
        m_shownFailures[row] = m_rows[row]->failure;
    }
    m_refreshed = true;
    RECT column{}, area{};
    HWND header = ListView_GetHeader(m_list);
    if (!Header_GetItemRect(header, kValueColumn, &column) || !::GetClientRect(m_list, &area)) {
        ::InvalidateRect(m_list, nullptr, FALSE);
        return;
    }
    ::MapWindowPoints(header, m_list, reinterpret_cast<POINT*>(&column), 2);  // the header scrolls with the list
    area.left = column.left;
    area.right = column.right;
    ::InvalidateRect(m_list, &area, FALSE);
}

void CMainDlg::ShowValueText(LVITEMW& item) const
{
    if (!(item.mask & LVIF_TEXT) || item.iSubItem != kValueColumn || item.iItem < 0 || size_t(item.iItem) >= m_shownValues.size() ||
        !item.pszText || item.cchTextMax <= 0)
        return;
    const CValue& value = m_shownValues[size_t(item.iItem)];
    const std::wstring& failure = m_shownFailures[size_t(item.iItem)];
    std::wstring text = !failure.empty() ? FailureText(failure) : m_refreshed ? ValueText(value) : LoadedValueText(value);
    size_t length = std::min(text.size(), size_t(item.cchTextMax - 1));
    std::copy(text.begin(), text.begin() + length, item.pszText);
    item.pszText[length] = L'\0';
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
