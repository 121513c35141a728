#include "Controller.h"
#include "DconExchange.h"
#include "DconReplies.h"
#include "Evaluator.h"
#include "Stopwatch.h"
#include <algorithm>
#include <cmath>

namespace {
// A phase waits for the workers' done events in groups of 32; more segments take more groups.
constexpr size_t kWaitGroup = 32;
// Why a formula whose result is NaN or infinite (sqrt of a negative, log of 0) left its value.
const wchar_t kNotANumber[] = L"не число";

// The evaluator's text for the last error, where it stood and the token it met.
std::wstring DescribeEvaluatorError(int code)
{
    std::wstring token = EvaluatorErrorToken();
    return EvaluatorErrorText(code) + (L", позиция " + std::to_wstring(EvaluatorErrorPosition())) +
           (token.empty() ? L"" : L" («" + token + L"»)");
}
}  // namespace

CController::~CController()
{
    StopCycle();
    // Workers first (their threads use devices and transports), then transports, devices, variables.
    m_workers.clear();
    m_parts.transports.clear();
    m_parts.devices.clear();
    m_parts.variables.clear();
}

void CController::Install(CInstallation installation)
{
    m_parts = std::move(installation);
    for (auto& variable : m_parts.variables)
        m_values[variable->name] = variable->value;
    std::vector<CDevice*> devices;
    for (auto& device : m_parts.devices)
        devices.push_back(device.get());
    for (auto& transport : m_parts.transports)
        m_workers.push_back(std::make_unique<CSegmentWorker>(transport.get(), devices));
}

CValue* CController::FindValue(const std::wstring& name) const
{
    auto it = m_values.find(name);
    return it == m_values.end() ? nullptr : it->second;
}

UINT CController::PassDoneMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"orvex.PassDone");
    return message;
}

CValue* CController::SetValue(const std::wstring& name, float x)
{
    CValue* value = FindValue(name);
    if (value)
        value->SetFloat(x);  // tagged float, so that formulas and outputs read it as the float it is
    return value;
}

bool CController::StartCycle(HWND window)
{
    StopCycle();
    // A phase waits for every worker without a time limit: one whose thread is not there would
    // hold the pass for ever.
    for (auto& worker : m_workers)
        if (!worker->IsRunning())
            return false;
    m_window = window;
    m_ticks = 0;  // a callback that ended with the last stop may have left ticks behind
    m_lock = std::make_unique<CCriticalSection>();
    HANDLE queue = ::CreateTimerQueue();
    if (!queue) {
        m_lock.reset();
        return false;
    }
    m_timerQueue = queue;
    DWORD period = DWORD(m_parts.period);
    if (!::CreateTimerQueueTimer(&m_timer, queue, CycleCallback, this, period, period,
                                 WT_EXECUTEINPERSISTENTTHREAD | WT_EXECUTELONGFUNCTION)) {
        StopCycle();
        return false;
    }
    return true;
}

void CController::StopCycle()
{
    if (m_timerQueue == INVALID_HANDLE_VALUE)
        return;
    HANDLE queue = m_timerQueue.exchange(INVALID_HANDLE_VALUE);  // a callback that starts now returns at once
    ::DeleteTimerQueueEx(queue, INVALID_HANDLE_VALUE);  // waits for a running pass
    m_timer = nullptr;
    m_lock.reset();
}

void CController::EnterLock()
{
    if (m_timerQueue != INVALID_HANDLE_VALUE)
        m_lock->Enter();
}

void CController::LeaveLock()
{
    if (m_timerQueue != INVALID_HANDLE_VALUE)
        m_lock->Leave();
}

// Ticks that come while a pass runs are not left waiting for the lock, each on a thread of the
// pool (hundreds of them when passes outlast the period): they ask the running callback for one
// more pass, which follows this one without pause.
void CALLBACK CController::CycleCallback(void* engine, BOOLEAN)
{
    auto* self = static_cast<CController*>(engine);
    if (self->m_ticks.fetch_add(1) != 0)
        return;
    while (self->RunCyclePass() && self->MorePassDue()) {
    }
}

bool CController::MorePassDue()
{
    int alone = 1;
    if (m_ticks.compare_exchange_strong(alone, 0))
        return false;
    m_ticks = 1;  // any number of ticks during the pass make one more pass
    return true;
}

// One pass under the lock, then its message; false when the cycle has been stopped.
bool CController::RunCyclePass()
{
    if (m_timerQueue == INVALID_HANDLE_VALUE)
        return false;
    m_lock->Enter();
    if (m_timerQueue == INVALID_HANDLE_VALUE) {  // stopped while this waited for a refresh
        m_lock->Leave();
        return false;
    }
    CStopwatch held;
    bool ok = RunPass();
    m_passMicroseconds = long(held.Milliseconds() * 1000.0);
    m_lock->Leave();
    ::PostMessageW(m_window, ok ? PassDoneMessage() : WM_CYCLE_FAILED, 0, 0);
    if (ok)
        ::Sleep(1);
    return true;
}

bool CController::RunPass()
{
    RunScript(m_parts.prologue, L"PROLOGUE");
    if (!RunPhase(true))
        return false;
    ComputeVariables();
    RunScript(m_parts.epilogue, L"EPILOGUE");
    return RunPhase(false);
}

void CController::RunScript(const std::vector<std::wstring>& lines, const wchar_t* label)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        double value = 0;
        int assigned = 0;
        int code = Evaluate(lines[i].c_str(), value, assigned);
        if (code != kEvalOk)
            NoteFailure(lines.size() > 1 ? label + (L" " + std::to_wstring(i + 1)) : std::wstring(label),
                        DescribeEvaluatorError(code));
    }
}

bool CController::RunPhase(bool read)
{
    for (auto& worker : m_workers)
        read ? worker->StartRead() : worker->StartWrite();
    bool ok = true;
    for (size_t first = 0; first < m_workers.size(); first += kWaitGroup) {
        HANDLE done[kWaitGroup];
        size_t count = std::min(kWaitGroup, m_workers.size() - first);
        for (size_t i = 0; i < count; ++i)
            done[i] = m_workers[first + i]->DoneEvent();
        ::WaitForMultipleObjects(DWORD(count), done, TRUE, INFINITE);
    }
    for (auto& worker : m_workers)
        ok = (read ? worker->ReadResult() : worker->WriteResult()) && ok;
    return ok;
}

// Every variable is seen by the formulas under its name, its value read by its tag (a digital
// input as 0 or 1, a counter as its count).
void CController::ComputeVariables() { Compute(true); }

void CController::ComputeStartValues() { Compute(false); }

void CController::Compute(bool noteFailures)
{
    for (auto& variable : m_parts.variables)
        SetVariable(variable->name.c_str(), variable->value->AsNumber());
    for (CVariable* variable : m_parts.computed) {
        const wchar_t* name = variable->name.c_str();
        SetVariable(name, variable->value->AsNumber());
        double value = 0;
        int assigned = 0;
        int code = Evaluate(variable->formula.c_str(), value, assigned);
        bool found = code == kEvalOk && GetVariable(name, value);
        if (found && std::isfinite(value))
            variable->value->SetFloat(float(value));
        if (!noteFailures)
            continue;
        if (code != kEvalOk) {
            variable->failure = EvaluatorErrorText(code);
            NoteFailure(variable->name, DescribeEvaluatorError(code));
        } else if (found && !std::isfinite(value)) {
            variable->failure = kNotANumber;
            NoteFailure(variable->name, kNotANumber);
        } else {
            variable->failure.clear();  // also when the formula removed its own name: the value stays
        }
    }
}

void CController::NoteFailure(const std::wstring& formula, const std::wstring& why)
{
    if (m_failedFormulas.insert(formula).second)
        m_formulaReport += L"Формула " + formula + L" не вычисляется: " + why + L"\n";
}

long CController::RepeatedExchanges() const
{
    long repeats = 0;
    for (const auto& device : m_parts.devices)
        repeats += device->Repeats();
    return repeats;
}

bool CController::CheckLinks(std::wstring& report)
{
    bool ok = true;
    for (auto& transport : m_parts.transports)
        ok = transport->Open() && ok;
    report.clear();
    for (auto& device : m_parts.devices) {
        report += L"Связь c " + device->keyword + L":" + device->address + L" (" + device->description + L") по " +
                  device->transport->GetPortId() + L" ";
        bool answered = device->TestLink();
        report += answered ? L"ЕСТЬ\n" : L"НЕТ\n";
        ok = ok && answered;
    }
    for (auto& transport : m_parts.transports) {
        std::wstring reason = transport->LinkFailure();
        if (!reason.empty())
            report += reason + L"\n";
    }
    report += m_formulaReport;
    m_formulaReport.clear();
    return ok;
}

bool CController::SetInputRange(const std::wstring& code)
{
    CDevice* module = nullptr;
    for (auto& device : m_parts.devices)
        if (device->address == L"11") {
            module = device.get();
            break;
        }
    if (!module)
        return false;
    std::wstring request = L"$" + module->address + L"2";
    std::wstring reply, baudAndFormat;
    if (!Transact(*module->transport, request, reply) || !ParseConfiguration(reply, module->address, baudAndFormat))
        return false;
    request = L"%" + module->address + module->address + code + baudAndFormat;
    return Transact(*module->transport, request, reply) && IsAcknowledged(reply, module->address);
}
