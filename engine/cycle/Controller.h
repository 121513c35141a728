#pragma once
#include "CriticalSection.h"
#include "Installation.h"
#include "SegmentWorker.h"
#include <windows.h>
#include <atomic>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

// Posted to the cycle's window when the read or the write phase of a pass failed.
constexpr UINT WM_CYCLE_FAILED = WM_USER + 200;

// The one engine object: everything the loader built, and the polling of it.
class CController {
public:
    CController() = default;
    ~CController();
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    // Takes over what the loader built and starts one segment worker per port.
    void Install(CInstallation installation);

    const std::vector<std::unique_ptr<CTransport>>& Transports() const { return m_parts.transports; }
    const std::vector<std::unique_ptr<CDevice>>& Devices() const { return m_parts.devices; }
    const std::vector<std::unique_ptr<CVariable>>& Variables() const { return m_parts.variables; }
    const std::vector<CVariable*>& Computed() const { return m_parts.computed; }
    const std::vector<std::wstring>& Prologue() const { return m_parts.prologue; }
    const std::vector<std::wstring>& Epilogue() const { return m_parts.epilogue; }
    int Period() const { return m_parts.period; }
    const std::vector<std::unique_ptr<CSegmentWorker>>& Workers() const { return m_workers; }

    CValue* FindValue(const std::wstring& name) const;
    CValue* SetValue(const std::wstring& name, float x);

    // The message a good pass posts to the cycle's window: registered, so that no other message
    // of the window can be taken for it.
    static UINT PassDoneMessage();

    // Acquisition: a timer-queue timer runs one pass per period on one persistent thread and
    // posts PassDoneMessage() (a good pass) or WM_CYCLE_FAILED to the window.
    bool StartCycle(HWND window);
    void StopCycle();  // waits for a running pass
    bool IsCycleRunning() const { return m_timerQueue != INVALID_HANDLE_VALUE; }
    void EnterLock();  // the acquisition lock; nothing while stopped
    void LeaveLock();
    // How long the latest pass held the acquisition lock (the benches compare it with the time
    // its exchanges take by themselves).
    double LastPassMilliseconds() const { return m_passMicroseconds / 1000.0; }

    // Reopens every port and tests every device; one report line per device, then one for each
    // segment that tells why it could not be served (a pipe name another program holds, a pipe
    // no program is connected to), then one for each formula that has failed for the first time.
    bool CheckLinks(std::wstring& report);
    // Sets the input range code of the module at address "11" ("$AA2", then "%AAAATTCCFF"); only
    // a configuration read from that module is copied, and only its "!AA" counts as success.
    bool SetInputRange(const std::wstring& code);
    // The formulas of the computed variables, in list order. A formula that fails, or gives no
    // finite number, leaves its value as it was and says why in its variable's `failure`.
    void ComputeVariables();
    // The same once before the first pass, so the list starts with the computed values. No
    // prologue has run yet, so a formula that fails now (over a name the prologue sets) is not
    // taken for a failure.
    void ComputeStartValues();
    // Exchanges the devices asked a second time since the start.
    long RepeatedExchanges() const;

private:
    static void CALLBACK CycleCallback(void* engine, BOOLEAN);
    bool RunCyclePass();
    bool MorePassDue();
    bool RunPass();
    bool RunPhase(bool read);
    void RunScript(const std::vector<std::wstring>& lines, const wchar_t* label);
    void Compute(bool noteFailures);
    // Notes a formula's failure for the next link report, the first time it fails.
    void NoteFailure(const std::wstring& formula, const std::wstring& why);

    CInstallation m_parts;
    std::vector<std::unique_ptr<CSegmentWorker>> m_workers;
    std::map<std::wstring, CValue*> m_values;  // every variable's value by its name

    std::atomic<HANDLE> m_timerQueue{INVALID_HANDLE_VALUE};  // also read by the timer thread
    HANDLE m_timer = nullptr;
    std::unique_ptr<CCriticalSection> m_lock;
    HWND m_window = nullptr;
    std::atomic<int> m_ticks{0};  // timer ticks since the running callback began; 0: none runs
    std::atomic<long> m_passMicroseconds{0};
    std::set<std::wstring> m_failedFormulas;  // formulas that have failed at least once
    std::wstring m_formulaReport;             // their first failures, not yet reported
};

// The acquisition lock held for a scope: a refresh under it sees the values of whole passes only.
class CAcquisitionLock {
public:
    explicit CAcquisitionLock(CController& engine) : m_engine(engine) { m_engine.EnterLock(); }
    ~CAcquisitionLock() { m_engine.LeaveLock(); }
    CAcquisitionLock(const CAcquisitionLock&) = delete;
    CAcquisitionLock& operator=(const CAcquisitionLock&) = delete;

private:
    CController& m_engine;
};
