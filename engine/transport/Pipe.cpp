#include "Pipe.h"
#include "PipeInstance.h"
#include <algorithm>

namespace {
const DWORD kRetryMs = 200;  // pause before a new instance when creating or connecting one failed
const DWORD kFirstInstanceMs = 2000;  // the most Open waits for the server thread's first instance
}

CPipe::CPipe(const std::wstring& path) : m_path(path.substr(0, 511))
{
    name = m_path;
    m_thread.Start([this] { Serve(); });
}

CPipe::~CPipe()
{
    m_quitEvent.Set();
    m_thread.Wait();
}

// The pipe can serve its segment when its server thread runs and no other process holds the name.
bool CPipe::Open()
{
    if (!m_thread.IsValid())
        return false;
    ::WaitForSingleObject(m_tried, kFirstInstanceMs);
    CScopedLock lock(m_lock);
    return !m_nameTaken;
}

std::wstring CPipe::LinkFailure()
{
    if (!m_thread.IsValid())
        return L"Канал " + m_path + L" не обслуживается: поток канала не запущен";
    CScopedLock lock(m_lock);
    if (m_nameTaken)
        return L"Имя канала " + m_path + L" занято другой программой";
    return m_peerGone ? L"К каналу " + m_path + L" не подключена ни одна программа" : std::wstring();
}

// A silent client must not stall its segment's pass for long, yet a slow one answering in about
// its reply delay has room: the limit is four delays, and never below half a second.
int CPipe::TimeLimit()
{
    CScopedLock lock(m_lock);
    return std::max(500, 4 * std::min(m_delay, 1000000));
}

void CPipe::SetDelay(int ms)
{
    CScopedLock lock(m_lock);
    m_delay = std::max(ms, 0);
}

bool CPipe::Exchange(const std::string& request, std::string& reply, const CReplyRule& rule)
{
    {
        CScopedLock lock(m_lock);
        m_request = request;
        m_rule = rule;
    }
    bool answered = HandOver();
    CScopedLock lock(m_lock);
    reply = m_reply;
    return answered;
}

// Hands the slot to the server thread and waits for it; the thread always answers, at the latest
// when the time limit has passed.
bool CPipe::HandOver()
{
    if (!m_thread.IsValid()) {
        CScopedLock lock(m_lock);
        m_reply.clear();
        return false;
    }
    if (::SignalObjectAndWait(m_requestEvent, m_doneEvent, INFINITE, FALSE) != WAIT_OBJECT_0)
        return false;
    CScopedLock lock(m_lock);
    return m_answered;
}

void CPipe::Serve()
{
    while (!Quitting()) {
        CPipeInstance pipe(m_path);
        {
            CScopedLock lock(m_lock);
            m_nameTaken = pipe.NameTaken();
        }
        m_tried.Set();
        if (!pipe.IsValid())
            PauseBeforeRetry(true);
        else if (pipe.BeginConnect() && AwaitClient(pipe))
            ServeClient(pipe);
        else
            PauseBeforeRetry(false);
    }
    FailPending();
}

void CPipe::ServeClient(CPipeInstance& pipe)
{
    m_connected = true;
    SetPeerGone(false);
    Converse(pipe);
    m_connected = false;
}

void CPipe::SetPeerGone(bool gone)
{
    CScopedLock lock(m_lock);
    m_peerGone = gone;
}

bool CPipe::Quitting()
{
    return ::WaitForSingleObject(m_quitEvent, 0) == WAIT_OBJECT_0;
}

// No instance (the name is invalid, or held by another process) or a failed connection: try
// again soon. Without an instance no client can answer, so exchanges fail at once; after a
// failed connection the exchange in hand keeps its time limit.
void CPipe::PauseBeforeRetry(bool noInstance)
{
    if (noInstance)
        FailPending();
    DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < kRetryMs; elapsed = ::GetTickCount() - start) {
        switch (Wait(nullptr, kRetryMs - elapsed)) {
        case Wake::Quit: return;
        case Wake::Request:
            TakeRequest();
            if (noInstance)
                FailPending();
            break;
        default: ExpireIfDue(); break;
        }
    }
}

bool CPipe::AwaitClient(CPipeInstance& pipe)
{
    for (;;) {
        switch (Wait(pipe.ConnectEvent(), INFINITE)) {
        case Wake::Quit: return false;
        case Wake::Io: return pipe.EndConnect();
        case Wake::Request: TakeRequest(); break;
        case Wake::Timeout: ExpireIfDue(); break;
        }
    }
}

// A read is kept waiting all the time the client is connected, so that its leaving is noticed at
// once and a new client can come. A message while no exchange waits for one is dropped. A client
// that has not answered within the time limit is let go: the answer it may still send would
// otherwise meet the next request and be taken for its reply. It may connect again.
void CPipe::Converse(CPipeInstance& pipe)
{
    if (!pipe.BeginRead())
        return;
    for (;;) {
        if (m_pending && !m_sent && !Send(pipe))
            return;
        switch (Wait(pipe.ReadEvent(), INFINITE)) {
        case Wake::Quit: return;
        case Wake::Request: TakeRequest(); break;
        case Wake::Timeout:
            if (ExpireIfDue())
                return;
            break;
        case Wake::Io:
            if (!Receive(pipe))
                return;
            break;
        }
    }
}

// A client that cannot take the request is dropped; the exchange fails.
bool CPipe::Send(CPipeInstance& pipe)
{
    m_sent = pipe.Write(m_outgoing, m_quitEvent, Remaining());
    if (!m_sent)
        FailPending();
    return m_sent;
}

// Takes the message that has come and reads on; false when the client has left.
bool CPipe::Receive(CPipeInstance& pipe)
{
    std::string message;
    bool read = pipe.EndRead(message);
    if (read && m_sent)
        Answer(message);
    if (read && pipe.BeginRead())
        return true;
    if (m_sent)
        FailPending();  // the client left with the request
    return false;
}

// Waits for quit, the I/O event if any, and a new request; the I/O event goes before the request
// so that a client that has left is noticed before a request is sent to it.
CPipe::Wake CPipe::Wait(HANDLE io, DWORD timeout)
{
    HANDLE events[3];
    DWORD count = 0;
    events[count++] = m_quitEvent;
    if (io)
        events[count++] = io;
    events[count++] = m_requestEvent;
    DWORD result = ::WaitForMultipleObjects(count, events, FALSE, std::min(timeout, Remaining()));
    if (result == WAIT_OBJECT_0)
        return Wake::Quit;
    if (result == WAIT_OBJECT_0 + count - 1)
        return Wake::Request;
    if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count)
        return Wake::Io;
    return Wake::Timeout;
}

DWORD CPipe::Remaining()
{
    if (!m_pending)
        return INFINITE;
    DWORD elapsed = ::GetTickCount() - m_start;
    return elapsed >= m_limit ? 0 : m_limit - elapsed;
}

// Moves the request out of the slot and clears the reply there.
void CPipe::TakeRequest()
{
    CScopedLock lock(m_lock);
    m_outgoing = m_request;
    m_reply.clear();
    m_answered = false;
    m_limit = DWORD(TimeLimit());
    m_start = ::GetTickCount();
    m_pending = true;
    m_sent = false;
    if (m_peerGone && !m_connected)
        FailPending();
}

void CPipe::Answer(const std::string& message)
{
    {
        CScopedLock lock(m_lock);
        m_reply = message.substr(0, m_rule.text ? message.find('\0') : message.size());
        m_reply.resize(std::min(m_reply.size(), m_rule.limit));
        m_answered = true;
    }
    m_pending = m_sent = false;
    m_doneEvent.Set();
}

void CPipe::FailPending()
{
    if (!m_pending)
        return;
    m_pending = m_sent = false;
    m_doneEvent.Set();
}

bool CPipe::ExpireIfDue()
{
    if (!m_pending || Remaining() > 0)
        return false;
    if (!m_connected)
        SetPeerGone(true);
    FailPending();
    return true;
}
