// orvex.exe's long run: the installation of the engine's long run (four segments, devsim injecting
// faults into 10 % of its replies) with recording on and the chart control registered and fed.
// This program plays the operator: after every link report it starts acquisition again when
// orvex allows it, else checks the links again. orvex's handles, threads and private bytes are
// sampled from outside every 10 s and must not grow after warm-up; orvex must keep answering its
// window and keep making progress. Runs half of SOAK_MINUTES (10); exits 1 on a hang, growth, a
// crash or a wrong exit code.
#include "ChartRegistration.h"
#include "DialogProbe.h"
#include "Devsim.h"
#include "FileBytes.h"
#include "OrvexSession.h"
#include "ProcessSamples.h"
#include "SoakInstallation.h"
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {
constexpr DWORD kStuckMs = 30000;  // neither a refresh nor a link report for this long: a hang
constexpr int IDC_START = 1, IDC_DURATION = 1008, IDC_RECORD = 1009;

size_t CsvLines(const std::wstring& folder)
{
    size_t lines = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*.csv").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string bytes = ReadFileBytes(folder + L"\\" + found.cFileName);
        size_t ends = size_t(std::count(bytes.begin(), bytes.end(), '\n'));
        lines += ends > 0 ? ends - 1 : 0;  // less the header
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return lines;
}

bool Responds(HWND dialog)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
}

class COrvexSoak {
public:
    COrvexSoak(COrvexSession& orvex, HWND dialog)
        : m_orvex(orvex), m_dialog(dialog), m_samples(orvex.Process(), kSoakSampleMs)
    {
    }
    // The operator's part until the time is up; false on a hang.
    bool Run(DWORD length);
    bool Stop();
    const CSampleSeries& Samples() const { return m_samples; }
    long reports = 0, starts = 0;

private:
    COrvexSession& m_orvex;
    HWND m_dialog;
    CSampleSeries m_samples;
};

bool COrvexSoak::Run(DWORD length)
{
    DWORD start = ::GetTickCount(), progress = start;
    m_samples.Poll();
    std::wstring duration;
    PressKey(m_dialog, VK_F2);
    while (::GetTickCount() - start < length) {
        if (m_orvex.Wait(0) != -1) {
            std::printf("orvex ended by itself\n");
            return false;
        }
        if (WaitForWindow(m_orvex.ProcessId(), L"#32770", kLinkReportCaption, 0)) {
            m_orvex.TakeMessageBox(kLinkReportCaption, 1000);
            ++reports;
            progress = ::GetTickCount();
            bool canStart = ::IsWindowEnabled(::GetDlgItem(m_dialog, IDC_START)) && ItemText(m_dialog, IDC_START) == L"Старт";
            starts += canStart ? 1 : 0;
            PressKey(m_dialog, canStart ? VK_F5 : VK_F2);
        }
        std::wstring now = ItemText(m_dialog, IDC_DURATION);
        if (now != duration)
            duration = now, progress = ::GetTickCount();
        if (!Responds(m_dialog) || ::GetTickCount() - progress > kStuckMs) {
            std::printf("HANG: orvex made no progress for %lu s\n", (::GetTickCount() - progress) / 1000);
            return false;
        }
        m_samples.Poll();
    }
    return true;
}

// Stops acquisition (a link report that comes meanwhile is closed) and ends orvex with "Выход".
bool COrvexSoak::Stop()
{
    for (int i = 0; i < 20 && ItemText(m_dialog, IDC_START) != L"Старт"; ++i) {
        m_orvex.TakeMessageBox(kLinkReportCaption, 0);
        if (ItemText(m_dialog, IDC_START) == L"Стоп")
            PressKey(m_dialog, VK_F5);
        ::Sleep(500);
    }
    m_orvex.TakeMessageBox(kLinkReportCaption, 1000);
    PressKey(m_dialog, VK_F10);
    int code = m_orvex.Wait(30000);
    if (code != 2)
        std::printf("orvex ended with %d after \"Выход\", not 2\n", code);
    return code == 2;
}
}  // namespace

int main()
{
    double minutes = SoakMinutes(10.0) / 2;
    auto pairs = RigPairs();
    if (pairs.size() < 3) {
        std::printf("orvex_soak needs 3 pty pairs from the rig\n");
        return 1;
    }
    CChartRegistration registration;
    std::vector<SoakSegment> segments = SoakSegments(pairs);
    std::string config = SoakConfiguration(segments, kSoakPeriodMs, "");
    COrvexSession orvex(config);
    HWND dialog = orvex.Start() ? orvex.MainWindow() : nullptr;
    if (registration.Result() != 0 || !dialog) {
        std::printf("orvex_soak: the chart did not register (%d) or orvex did not start\n", registration.Result());
        return 1;
    }
    // After orvex: the pipe's devsim connects to orvex's pipe.
    std::vector<std::unique_ptr<CDevsim>> sims = StartSimulators(config, segments, 29);
    if (sims.empty())
        return 1;
    HWND host = ::FindWindowExW(dialog, nullptr, L"AtlAxWin", nullptr);
    if (!host || !::GetWindow(host, GW_CHILD)) {
        std::printf("orvex_soak: the chart control is not in its place\n");
        return 1;
    }
    ClickButton(dialog, IDC_RECORD);  // "В файл"
    std::printf("orvex soak: %.1f min, period %d ms, faults in %d %% of the replies, recording, chart fed\n", minutes,
                kSoakPeriodMs, kSoakFaultPercent);
    COrvexSoak soak(orvex, dialog);
    bool ran = soak.Run(DWORD(minutes * 60000.0));
    bool ended = ran && soak.Stop();
    size_t lines = CsvLines(orvex.Folder());
    std::printf("refreshes recorded %zu; link reports %ld, acquisition started again %ld times\n", lines, soak.reports,
                soak.starts);
    bool steady = soak.Samples().Report(minutes);
    return ran && ended && lines > 0 && steady ? 0 : 1;
}
