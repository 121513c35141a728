#include "Serial.h"
#include "Stopwatch.h"
#include "TimerResolution.h"
#include <algorithm>

CSerial::CSerial(const std::wstring& portId, const std::wstring& settings, const std::wstring& protocol, int delay)
    : m_delay(delay), m_portId(portId), m_settings(settings), m_protocol(protocol)
{
    name = portId;
}

CSerial::~CSerial() { Close(); }

// Closes first also after a failed Open that left the file open: the port is opened without
// sharing, so the old handle would make the first attempt fail.
bool CSerial::Open()
{
    Close();
    m_unanswered = false;
    if (!OpenFile())
        return false;
    m_open = m_port.Configure({m_settings});
    if (m_open)
        StartThread();
    return m_open;
}

// A port another program is letting go of may be busy for a moment: it is tried once more.
bool CSerial::OpenFile()
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt)
            ::Sleep(kOpenRetryMs);
        if (m_port.Open(m_portId))
            return true;
    }
    return false;
}

// No exchange may wait for a thread that is not there: without one the port is not open.
void CSerial::StartThread()
{
    m_open = m_requestEvent.IsValid() && m_doneEvent.IsValid() && m_quitEvent.IsValid() &&
             m_thread.Start([this] { Serve(); });
}

void CSerial::Close()
{
    if (m_thread.IsValid()) {
        m_quitEvent.Set();
        m_thread.Wait();
    }
    m_port.Close();
    m_open = false;
}

bool CSerial::SetPortId(const std::wstring& id)
{
    Close();
    m_portId = id;
    return Open();
}

// Wakes the I/O thread and starts waiting in one step, so the done signal cannot be missed.
bool CSerial::HandOver()
{
    return ::SignalObjectAndWait(m_requestEvent, m_doneEvent, INFINITE, FALSE) == WAIT_OBJECT_0;
}

bool CSerial::Exchange(const std::string& request, std::string& reply, const CReplyRule& rule)
{
    reply.clear();
    if (!m_open)
        return false;
    {
        CScopedLock lock(m_lock);
        m_request = request;
        m_rule = &rule;
    }
    if (!HandOver())
        return false;
    CScopedLock lock(m_lock);
    if (!m_written)
        return false;  // the line is gone; the shared reply is an earlier one
    reply = m_reply;
    return true;
}

// The 1 ms system timer is asked for while the thread runs, so that its delays last as set.
void CSerial::Serve()
{
    CTimerResolution fineTimer;
    while (WaitForRequest())
        ServeExchange();
}

bool CSerial::WaitForRequest()
{
    const HANDLE events[] = {m_quitEvent, m_requestEvent};
    return ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

void CSerial::ServeExchange()
{
    {
        CScopedLock lock(m_lock);
        PrepareLine(m_request);
        DWORD written = 0;
        m_written = ::WriteFile(m_port, m_request.data(), DWORD(m_request.size()), &written, nullptr) != FALSE;
        if (m_written) {
            ReadReply(m_reply, *m_rule);
            auto bytes = reinterpret_cast<const unsigned char*>(m_reply.data());
            // One request without a whole reply leaves an answer that may still come, also when
            // its repeat was answered: the line stays suspect until it has been quiet.
            if (m_rule->whole && !IsWhole(*m_rule, bytes, m_reply.size()))
                m_unanswered = true;
            m_lastRequest = m_request;
        }
    }
    m_doneEvent.Set();
}

// A request that got no whole reply may still be answered late. Before the line asks anything
// else, it waits until it has been quiet for a whole reply delay, dropping what comes, so that a
// late answer is not taken for another device's reply. The request's own repeat goes out at
// once: a late answer to the same question is still its answer.
void CSerial::PrepareLine(const std::string& request)
{
    if (m_unanswered && request != m_lastRequest) {
        WaitForQuiet();
        m_unanswered = false;
    }
    DropReceived();
}

// At least one delay, and then until no byte has come for one; a line that never goes quiet is
// given up after kQuietDelays delays.
void CSerial::WaitForQuiet()
{
    const double delay = std::max(m_delay, 0);
    const CStopwatch clock;
    CStopwatch quiet;
    unsigned char chunk[256];
    while (quiet.Milliseconds() < delay && clock.Milliseconds() < kQuietDelays * delay)
        if (ReadMore(chunk, sizeof chunk) > 0)
            quiet.Restart();
}

// Reads what the queue holds, at most one chunk; 0 when nothing is there. A read never asks for
// more than is queued: one that did would wait out its time-out for bytes that are not coming.
DWORD CSerial::ReadQueued(unsigned char* chunk, DWORD size)
{
    DWORD errors = 0, got = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_port, &errors, &status) || status.cbInQue == 0 ||
        !::ReadFile(m_port, chunk, std::min(size, status.cbInQue), &got, nullptr))
        return 0;
    return got;
}

// Whatever came since the last exchange (a reply later than its delay, noise) is no reply to
// the request about to go out: it is read and dropped, at most one queue's worth.
void CSerial::DropReceived()
{
    unsigned char chunk[256];
    for (DWORD total = 0, got; total < CSerialPort::kQueueBytes && (got = ReadQueued(chunk, sizeof chunk)) > 0;)
        total += got;
}

// The reply ends as soon as it is whole by its protocol's rule, so an exchange costs the line's
// time, not the delay: the delay is the longest wait. A reply not whole by then, or one that may
// not end early, is everything that arrived within the delay, plus gaps of at most 1 ms. While a
// request is unanswered (the repeat of a request that got no whole reply) an answer may still be
// on its way besides this one's, so the exchange takes its whole delay: the two together are no
// reply, where ending at the first would leave the second for the next device. Bytes are waited
// for by reads that wait at most 1 ms for a first byte, so each is taken as it comes and the
// thread does not spin. Bytes beyond the rule's limit are read and dropped so that they do not
// start the next reply; a device that never stops sending is cut off after one queue's worth more.
void CSerial::ReadReply(std::string& reply, const CReplyRule& rule)
{
    const CStopwatch clock;
    const double delay = std::max(m_delay, 0);
    std::string received(rule.limit, '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(&received[0]);
    size_t kept = 0, total = 0;
    unsigned char chunk[256];
    for (;;) {
        bool whole = total == kept && IsWhole(rule, buffer, kept);
        if (total >= rule.limit + CSerialPort::kQueueBytes || (whole && !m_unanswered))
            break;
        // After the delay a whole reply takes only what is queued already.
        bool late = clock.Milliseconds() >= delay;
        DWORD got = whole && late ? ReadQueued(chunk, sizeof chunk) : ReadMore(chunk, sizeof chunk);
        if (got == 0 && clock.Milliseconds() >= delay)
            break;
        size_t take = std::min(size_t(got), rule.limit - kept);
        std::copy(chunk, chunk + take, buffer + kept);
        kept += take;
        total += got;
    }
    received.resize(kept);
    reply = std::move(received);
}

bool CSerial::IsWhole(const CReplyRule& rule, const unsigned char* bytes, size_t count)
{
    return rule.whole && count > 0 && rule.whole(bytes, count);
}

// What the queue holds; when nothing is queued, the next byte within the read time-out. 0 when
// none came.
DWORD CSerial::ReadMore(unsigned char* chunk, DWORD size)
{
    DWORD got = ReadQueued(chunk, size);
    if (got == 0 && !::ReadFile(m_port, chunk, 1, &got, nullptr))
        return 0;
    return got;
}
