// One display refresh of the real orvex with the 500-variable file of the cycle bench, devsim
// answering on four pty lines: the value column, a CSV row, the alarm test and the chart's
// "Add", as orvex itself times its refresh after each pass (read through RefreshFiguresMessage).
#include "ChartRegistration.h"
#include "DialogProbe.h"
#include "Devsim.h"
#include "LargeConfig.h"
#include "Median.h"
#include "OrvexSession.h"
#include "RefreshFigures.h"
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kRefreshes = 40;
constexpr double kTarget = 10.0;

LRESULT Figure(HWND dialog, ERefreshFigure which)
{
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(dialog, RefreshFiguresMessage(), which, 0, SMTO_BLOCK, 10000, &answer);
    return LRESULT(answer);
}

// Runs the link check until every device answers, then starts acquisition.
bool Start(COrvexSession& orvex, HWND dialog)
{
    for (int attempt = 0; attempt < 5 && !::IsWindowEnabled(::GetDlgItem(dialog, 1)); ++attempt) {
        PressKey(dialog, VK_F2);
        orvex.TakeMessageBox(kLinkReportCaption, 60000);
    }
    if (!::IsWindowEnabled(::GetDlgItem(dialog, 1)))
        return false;
    PressKey(dialog, VK_F5);
    return WaitUntil([&] { return ItemText(dialog, 1) == L"Стоп"; }, 10000);
}

// The durations of the next refreshes, in milliseconds; a refresh that came between reading
// the count and the time is skipped. A pass that failed (a reply later than its delay on a busy
// machine) stops acquisition and shows the link report: it is closed and acquisition started again.
std::vector<double> RefreshTimes(COrvexSession& orvex, HWND dialog, int count, int& restarts)
{
    std::vector<double> times;
    LRESULT seen = Figure(dialog, RefreshCount);
    DWORD start = ::GetTickCount();
    while (int(times.size()) < count && ::GetTickCount() - start < 180000) {
        ::Sleep(20);
        if (ItemText(dialog, 1) == L"Старт") {
            orvex.TakeMessageBox(kLinkReportCaption, 10000);
            if (!Start(orvex, dialog))
                break;
            ++restarts;
        }
        LRESULT now = Figure(dialog, RefreshCount);
        if (now == seen)
            continue;
        double milliseconds = double(Figure(dialog, RefreshMicroseconds)) / 1000.0;
        if (now == seen + 1 && Figure(dialog, RefreshCount) == now)
            times.push_back(milliseconds);
        seen = now;
    }
    return times;
}

int Fail(const char* why)
{
    std::printf("orvex refresh bench: %s\n", why);
    return 1;
}
}  // namespace

int main()
{
    auto pairs = RigPairs();
    if (pairs.size() < 4)
        return Fail("needs 4 pty pairs from the rig");
    std::vector<int> hosts;
    for (const auto& pair : pairs)
        hosts.push_back(pair.first);
    std::string configuration = LargeConfiguration(hosts, 500);
    std::vector<std::unique_ptr<CDevsim>> sims;
    for (int s = 0; s < 4; ++s) {
        sims.push_back(std::make_unique<CDevsim>(configuration, L"S" + std::to_wstring(s), ComName(pairs[s].second)));
        if (!sims.back()->Ready())
            return Fail("devsim did not start");
    }
    CChartRegistration chart;
    if (chart.Result() != 0)
        return Fail("norvctrl.dll did not register");

    COrvexSession orvex(configuration);
    if (!orvex.Start())
        return Fail("orvex did not start");
    HWND dialog = orvex.MainWindow();
    if (!dialog)
        return Fail("no main window");
    ClickButton(dialog, 1009);  // "В файл": every refresh writes its CSV row
    if (!Start(orvex, dialog))
        return Fail("a device did not answer the link check");
    int restarts = 0;
    std::vector<double> times = RefreshTimes(orvex, dialog, kRefreshes, restarts);
    PressKey(dialog, VK_F10);
    orvex.Wait(30000);
    if (times.size() < kRefreshes / 2)
        return Fail("too few refreshes");

    double median = Median(times);
    std::printf("refresh of %d variables (value column, CSV row, alarm test, chart Add): %.2f ms median "
                "(target <= %.0f ms, ratio %.2f)\n",
                kLargeVariables, median, kTarget, median / kTarget);
    std::printf("  %zu refreshes, min %.2f ms, max %.2f ms; acquisition restarted after %d failed passes\n",
                times.size(), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), restarts);
    return 0;
}
