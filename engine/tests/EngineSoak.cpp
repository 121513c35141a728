// The engine's long run: CController loaded from a controller.xml runs passes every 100 ms
// against devsim on four segments (DCON with and without the checksum and Modbus on pty lines,
// DCON on a named pipe) while devsim injects faults into 10 % of its replies. A failed pass is
// followed as the operator follows it: link checks until every device answers, then a new start.
// Every pass and link check is held to devsim's log (CSoakChecker); the process's handles,
// threads and private bytes are sampled every 10 s and must not grow after warm-up. Runs
// SOAK_MINUTES (10); exits 1 on a mismatch, a hang (no pass result for ten periods, or for the
// longest a pass may take, when that is longer) or growth.
#include "ConfigFile.h"
#include "CycleWindow.h"
#include "Devsim.h"
#include "Evaluator.h"
#include "ProcessSamples.h"
#include "SoakChecker.h"
#include "SoakInstallation.h"
#include <process.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

namespace {
constexpr DWORD kAnalyzeMs = 500;
constexpr DWORD kStuckMs = 60000;           // the driver itself made no progress (a link check that never ends)
const wchar_t kPassCounter[] = L"SOAKPASS";  // counted by the prologue, once in every pass

class CEngineSoak {
public:
    CEngineSoak(CController& engine, CSoakChecker& checker, std::vector<std::unique_ptr<CDevsim>>& sims)
        : m_engine(engine), m_checker(checker), m_sims(sims)
    {
        m_watchdog.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Watchdog, this, 0, nullptr)));
    }

    bool Run(double minutes);
    const CSampleSeries& Samples() const { return m_samples; }

private:
    bool CheckLinksUntilAllAnswer();
    bool RunCycle(DWORD deadline);
    void TakeResult(const MSG& msg);
    void TakeValues(bool running);
    void Housekeeping();
    static unsigned __stdcall Watchdog(void* self);

    CController& m_engine;
    CSoakChecker& m_checker;
    std::vector<std::unique_ptr<CDevsim>>& m_sims;
    CCycleWindow m_window;
    CSampleSeries m_samples{::GetCurrentProcess(), kSoakSampleMs};
    CHandle m_watchdog;
    std::atomic<DWORD> m_progress{::GetTickCount()};
    DWORD m_start = ::GetTickCount(), m_lastAnalysis = 0, m_lastReport = 0;
    long m_results = 0, m_valuesOf = 0;
};

bool CEngineSoak::Run(double minutes)
{
    DWORD length = DWORD(minutes * 60000.0);
    m_samples.Poll();
    bool ok = true;
    while (ok && ::GetTickCount() - m_start < length)
        ok = CheckLinksUntilAllAnswer() && RunCycle(m_start + length);
    if (!ok)
        return false;
    // A last link check ends the last run in the logs; then devsim finishes its late replies.
    std::wstring report;
    m_checker.LinkChecked(m_engine.CheckLinks(report));
    ::Sleep(2000);
    m_checker.Analyze(false);
    m_checker.Analyze(true);
    return true;
}

bool CEngineSoak::CheckLinksUntilAllAnswer()
{
    DWORD start = ::GetTickCount();
    for (;;) {
        std::wstring report;
        bool ok = m_engine.CheckLinks(report);
        m_checker.LinkChecked(ok);
        Housekeeping();
        if (ok)
            return true;
        if (::GetTickCount() - start > kStuckMs) {
            m_checker.Mismatch("no link check found every device answering for 60 s");
            return false;
        }
    }
}

bool CEngineSoak::RunCycle(DWORD deadline)
{
    if (!m_engine.StartCycle(m_window)) {
        m_checker.Mismatch("the cycle did not start");
        return false;
    }
    // A hang: no pass result for ten periods, or for longer than a pass may take when every exchange
    // waits as long as its line allows (on the pipe that is longer).
    DWORD hangMs = DWORD(std::max(10.0 * kSoakPeriodMs, m_checker.LongestPassAllowedMs()));
    DWORD lastResult = ::GetTickCount();
    bool failed = false;
    while (!failed && LONG(::GetTickCount() - deadline) < 0) {
        MSG msg;
        while (!failed && ::PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE)) {
            if (msg.message != CController::PassDoneMessage() && msg.message != WM_CYCLE_FAILED)
                continue;
            TakeResult(msg);
            lastResult = ::GetTickCount();
            failed = msg.message == WM_CYCLE_FAILED;
            if (!failed)
                TakeValues(true);
        }
        if (::GetTickCount() - lastResult > hangMs) {
            m_checker.Mismatch("hang: no pass ended for " + std::to_string(hangMs) + " ms");
            return false;
        }
        Housekeeping();
        ::Sleep(5);
    }
    m_engine.StopCycle();  // waits for a pass that runs; its result is posted before
    MSG msg;
    while (::PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE))
        if (msg.message == CController::PassDoneMessage() || msg.message == WM_CYCLE_FAILED)
            TakeResult(msg);
    TakeValues(false);
    return true;
}

void CEngineSoak::TakeResult(const MSG& msg)
{
    ++m_results;
    m_checker.PassEnded(msg.message == CController::PassDoneMessage(), msg.time);  // the time it was posted
}

// The values as the display refresh reads them: under the lock, of the latest whole pass, which
// the prologue's counter names. Once the cycle has stopped, every pass has posted its result.
void CEngineSoak::TakeValues(bool running)
{
    double pass = 0;
    if (running)
        m_engine.EnterLock();
    GetVariable(kPassCounter, pass);
    if (long(pass) > m_valuesOf) {
        m_valuesOf = long(pass);
        m_checker.ValuesAfter(m_valuesOf, m_engine);
    }
    if (running)
        m_engine.LeaveLock();
    else if (long(pass) != m_results)
        m_checker.Mismatch(std::to_string(long(pass)) + " passes ran but " + std::to_string(m_results) +
                           " posted their result");
}

void CEngineSoak::Housekeeping()
{
    DWORD now = ::GetTickCount();
    m_progress = now;
    if (now - m_lastAnalysis >= kAnalyzeMs) {
        m_checker.Analyze(false);
        m_lastAnalysis = now;
    }
    m_samples.Poll();
    if (now - m_lastReport >= 60000) {
        m_lastReport = now;
        std::printf("[%lu s] passes %ld, failed %ld, link checks %ld, faults %ld, repeats %ld, mismatches %ld\n",
                    (now - m_start) / 1000, m_checker.passes, m_checker.failedPasses, m_checker.linkChecks,
                    m_checker.faults, m_checker.repeats, m_checker.mismatches);
        std::fflush(stdout);
    }
}

// A link check or a stop that never returns: say so and end, with devsim.
unsigned __stdcall CEngineSoak::Watchdog(void* self)
{
    auto* soak = static_cast<CEngineSoak*>(self);
    while (::GetTickCount() - soak->m_progress < kStuckMs)
        ::Sleep(1000);
    std::printf("HANG: the engine has not returned for %lu s\n", kStuckMs / 1000);
    std::fflush(stdout);
    soak->m_sims.clear();
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return 0;
}
}  // namespace

int main()
{
    CComApartment apartment;
    double minutes = SoakMinutes(10.0);
    auto pairs = RigPairs();
    if (pairs.size() < 3) {
        std::printf("engine_soak needs 3 pty pairs from the rig\n");
        return 1;
    }
    std::vector<SoakSegment> segments = SoakSegments(pairs);
    std::string config = SoakConfiguration(segments, kSoakPeriodMs, std::string("SOAKPASS = SOAKPASS + 1"));
    CController engine;
    std::wstring error;
    if (LoadConfig(config, engine, &error) != S_OK) {
        std::printf("engine_soak: the configuration did not load: %ls\n", error.c_str());
        return 1;
    }
    SetVariable(kPassCounter, 0);
    // After the engine: the pipe's devsim connects to the engine's pipe.
    std::vector<std::unique_ptr<CDevsim>> sims = StartSimulators(config, segments, 19);
    if (sims.empty())
        return 1;
    std::vector<std::wstring> logs;
    for (const auto& sim : sims)
        logs.push_back(sim->LogPath());
    std::printf("engine soak: %.1f min, period %d ms, faults in %d %% of the replies\n", minutes, kSoakPeriodMs,
                kSoakFaultPercent);
    CSoakChecker checker(segments, logs);
    CEngineSoak soak(engine, checker, sims);
    bool finished = soak.Run(minutes);
    // What devsim logged stays in the bin folder when something did not match.
    for (size_t s = 0; s < segments.size() && checker.mismatches > 0; ++s)
        ::CopyFileW(logs[s].c_str(), (L"engine_soak-" + std::wstring(1, wchar_t(segments[s].name[0])) + L".log").c_str(),
                    FALSE);
    checker.Print(stdout);
    std::printf("the engine counts %ld exchanges asked twice\n", engine.RepeatedExchanges());
    bool steady = soak.Samples().Report(minutes);
    return finished && checker.mismatches == 0 && steady ? 0 : 1;
}
