#pragma once
#include "ComPtr.h"
#include "Controller.h"
#include "CsvRecorder.h"
#include "DialogImpl.h"
#include "Icon.h"
#include "MessageLoop.h"
#include "MixturePage.h"
#include "Mp3Player.h"
#include "ResourceFiles.h"
#include "SimpleHostWindowView.h"
#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

// The one window of orvex: the grouped variable list, the chart of one chosen variable and the
// operator's commands. It is the message filter and idle handler of the thread's loop.
class CMainDlg : public CDialogImpl, public CMessageFilter, public CIdleHandler {
public:
    explicit CMainDlg(CController& engine);

    bool PreTranslateMessage(MSG& msg) override;
    bool OnIdle() override { return false; }

    // Members <-> controls for one control id, or -1 for all of them in their fixed order;
    // stops at the first control that fails.
    bool DoDataExchange(bool save, int id = -1);
    // The controls that must not be used while acquisition runs.
    void EnableSetupControls(bool enable);

private:
    bool ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(int id);
    void OnNotify(NMHDR& header);

    LRESULT OnInitDialog();
    void OnDestroy();
    void OnCycleFailed();
    void OnStartStop();
    void OnExit();
    void WriteHeldLinesBeforeEnd(HWND owner);
    void OnLinkDialog();
    void OnCheckLinks();
    void OnApplyLevels();
    void OnChooseVariable(int row);
    void OnTabChanged();

    void CreateChart();
    void FillTabs();
    void FillList();
    void ShowInChart(const CVariable& variable);
    void PressButton(int id);
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }

    // The display refresh after a good acquisition pass, and its steps.
    void OnPassDone();
    void UpdateTimeTexts();
    void UpdateValueColumn();
    void ShowValueText(LVITEMW& item) const;
    void AddChartPoint();
    void WriteCsvLine(const char* format);
    void OnRetryHeldLines();
    void TestAlarm();
    void OnSetRange(int id);

    static constexpr int kValueColumn = 2;  // the list's columns: description, name, value

    CController& m_engine;
    HWND m_tab = nullptr;
    HWND m_list = nullptr;
    CMixturePage m_mixture;  // the second tab's page
    CSimpleHostWindowView m_host;
    CComPtr<IDispatch> m_chart;  // released before the host lets the control go
    CVariable* m_chartVariable = nullptr;
    // The value column: each row's variable, and the values the rows show, copied at each
    // refresh under the lock. Only the rows the list paints are formatted, when it paints them.
    std::vector<const CVariable*> m_rows;
    std::vector<CValue> m_shownValues;
    std::vector<std::wstring> m_shownFailures;  // why a row's formula failed; empty when it did not
    bool m_refreshed = false;  // before the first refresh the rows show the loaded values
    HACCEL m_accel = nullptr;
    CIcon m_bigIcon;
    CIcon m_smallIcon;

    float m_minLevel = -250000000.0f;
    float m_maxLevel = 250000000.0f;
    int m_alarmEnabled = 0;
    int m_record = 0;
    int m_splitHourly = 0;
    int m_source = 0;
    std::wstring m_fileName;
    std::wstring m_startText;
    std::wstring m_durationText;
    boost::posix_time::ptime m_startTime;
    boost::posix_time::time_duration m_duration;
    unsigned m_refreshCount = 0;  // the refreshes so far and the time of the latest, for benchmarks
    unsigned m_refreshMicroseconds = 0;
    CCsvRecorder m_recorder;
    CResourceFiles m_resources;
    CMp3Player m_player;
};
