#include "Rs485Port.h"
#include "DconFraming.h"
#include "ErrorLog.h"
#include "Stopwatch.h"
#include "TextConv.h"

namespace {
const DWORD kAllEvents =
    EV_RXCHAR | EV_RXFLAG | EV_TXEMPTY | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RING;
}  // namespace

CRs485Port::CRs485Port(const std::wstring& portName, const std::wstring& dcb, int delay)
    : m_portName(portName), m_dcb(dcb), m_delay(delay)
{
}

CRs485Port::~CRs485Port()
{
    if (m_open)
        Close();
}

BOOL CRs485Port::Open()
{
    if (!m_port.Open(m_portName))
        return FALSE;
    // The port counts as open only when every step of its setup succeeded.
    m_open = m_port.Configure({m_dcb, false, kAllEvents}) && StartWorker();
    return m_open;
}

bool CRs485Port::StartWorker()
{
    auto sync = std::make_unique<CWorkerSync>();
    if (!sync->request.IsValid() || !sync->done.IsValid() || !sync->stop.IsValid() || !sync->io.IsValid())
        return false;
    sync->overlapped.hEvent = sync->io;
    m_sync = std::move(sync);
    if (!m_thread.Start([this] { Work(); })) {
        m_sync.reset();
        return false;
    }
    return true;
}

void CRs485Port::Close()
{
    if (m_port.IsOpen()) {
        m_port.Purge();
        ::SetCommBreak(m_port);  // the line is left in the break state
    }
    if (m_thread.IsValid()) {
        m_sync->stop.Set();
        m_thread.Wait();
    }
    if (m_port.IsOpen()) {
        m_port.Close();
        m_sync.reset();
    }
    m_open = FALSE;
}

BOOL CRs485Port::SetDcb(const std::wstring& dcb)
{
    Close();
    m_dcb = dcb;
    return Open();
}

BOOL CRs485Port::SetPort(const std::wstring& portName)
{
    Close();
    m_portName = portName;
    return Open();
}

bool CRs485Port::SetDelay(int milliseconds)
{
    if (milliseconds < 0)
        return false;
    m_delay = milliseconds;
    return true;
}

BOOL CRs485Port::Transact(std::wstring& command, std::wstring& reply)
{
    if (!m_open)
        return FALSE;
    DconFrame(command, m_checksum != FALSE);
    {
        CScopedLock hold(m_lock);
        m_request = command;
    }
    if (::SignalObjectAndWait(m_sync->request, m_sync->done, INFINITE, FALSE) == WAIT_OBJECT_0) {
        CScopedLock hold(m_lock);
        reply = m_reply;
    }
    return DconCheckReply(reply, m_checksum != FALSE, DconReplyEnd::Any);
}

bool CRs485Port::LastReplyCut()
{
    CScopedLock hold(m_lock);
    return m_replyCut;
}

std::wstring CRs485Port::TakeErrors()
{
    CScopedLock hold(m_lock);
    std::wstring errors;
    errors.swap(m_errors);
    return errors;
}

void CRs485Port::Work()
{
    // The delay and the 1 ms gap are only as good as the thread's scheduling.
    HANDLE self = ::GetCurrentThread();
    ::SetThreadPriority(self, THREAD_PRIORITY_HIGHEST);
    ::SetThreadPriorityBoost(self, TRUE);
    ::SetThreadAffinityMask(self, 2);
    HANDLE waits[2] = {m_sync->stop, m_sync->request};
    while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        Exchange();
}

void CRs485Port::Exchange()
{
    {
        CScopedLock hold(m_lock);
        std::string bytes = WideToAnsi(m_request);
        if (bytes.size() > kBufferBytes)
            bytes.resize(kBufferBytes);
        DWORD written = 0;
        if (!::WriteFile(m_port, bytes.data(), DWORD(bytes.size()), &written, &m_sync->overlapped)) {
            LogWriteError(m_errors, ::GetLastError());
            m_reply.clear();  // not the reply of the exchange before
            m_replyCut = false;
        } else {
            ::Sleep(DWORD(m_delay));
            std::string received;
            DWORD error = 0;
            bool drained = Drain(received, m_replyCut, error);
            m_sync->io.Reset();
            if (!drained || received.empty())
                LogReadError(m_errors, error);
            m_reply = AnsiToWide(received);
        }
    }
    m_sync->done.Set();
}

// One byte per read until a read brings none (the reply ended) or fails. Bytes beyond the
// buffer are read on in larger pieces and dropped, so that they cannot open the next command's
// reply.
bool CRs485Port::Drain(std::string& received, bool& cut, DWORD& error)
{
    char bytes[4096];
    bool full = false;
    CStopwatch dropping;
    cut = false;
    for (;;) {
        DWORD got = 0;
        BOOL ok = ::ReadFile(m_port, bytes, full ? sizeof bytes : 1, &got, &m_sync->overlapped);
        error = ::GetLastError();
        if (!ok)
            return false;
        if (got == 0)
            return true;
        if (full) {
            cut = true;
            if (dropping.Milliseconds() > kDropLimitMs)
                return true;
            continue;
        }
        received += bytes[0];
        if (received.size() == kBufferBytes) {
            full = true;
            dropping.Restart();
        }
    }
}
