#include "PipeInstance.h"

// Only local clients, and only as the first instance of the name: another process that serves
// the name already would otherwise share the clients with us. Wine ignores the first-instance
// flag, so a name that answers a wait is taken as held as well.
CPipeInstance::CPipeInstance(const std::wstring& path)
{
    m_nameTaken = ::WaitNamedPipeW(path.c_str(), 1) || ::GetLastError() == ERROR_SEM_TIMEOUT;
    if (!m_nameTaken) {
        DWORD open = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
        DWORD mode = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
        m_pipe.Attach(::CreateNamedPipeW(path.c_str(), open, mode, PIPE_UNLIMITED_INSTANCES, kMessageSize, kMessageSize,
                                         kClientWaitMs, nullptr));
        m_nameTaken = !m_pipe.IsValid() && ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    m_connect.hEvent = m_connectEvent;
    m_read.hEvent = m_readEvent;
    m_write.hEvent = m_writeEvent;
}

// The kernel writes into the OVERLAPPED blocks and the buffer until an operation ends, so every
// one still outstanding is cancelled and waited for before they go away.
CPipeInstance::~CPipeInstance()
{
    if (!IsValid())
        return;
    ::CancelIo(m_pipe);
    DWORD n;
    if (m_connectPending)
        ::GetOverlappedResult(m_pipe, &m_connect, &n, TRUE);
    if (m_readPending)
        ::GetOverlappedResult(m_pipe, &m_read, &n, TRUE);
    if (m_writePending)
        ::GetOverlappedResult(m_pipe, &m_write, &n, TRUE);
    ::DisconnectNamedPipe(m_pipe);
}

bool CPipeInstance::BeginConnect()
{
    BOOL done = ::ConnectNamedPipe(m_pipe, &m_connect);
    DWORD error = ::GetLastError();
    if (done || error == ERROR_PIPE_CONNECTED) {
        // Connected already (a client may come between creation and this call): nothing else
        // signals the event for it.
        m_connectEvent.Set();
        return true;
    }
    m_connectPending = error == ERROR_IO_PENDING;
    return m_connectPending;
}

bool CPipeInstance::EndConnect()
{
    if (!m_connectPending)
        return true;
    m_connectPending = false;
    DWORD n;
    return ::GetOverlappedResult(m_pipe, &m_connect, &n, FALSE) != FALSE;
}

bool CPipeInstance::BeginRead()
{
    if (::ReadFile(m_pipe, m_buffer, kMessageSize, nullptr, &m_read)) {
        m_readPending = true;
        return true;
    }
    DWORD error = ::GetLastError();
    m_readPending = error == ERROR_IO_PENDING || error == ERROR_MORE_DATA;
    return m_readPending;
}

bool CPipeInstance::EndRead(std::string& message)
{
    m_readPending = false;
    DWORD n = 0;
    bool done = ::GetOverlappedResult(m_pipe, &m_read, &n, FALSE) != FALSE;
    if (!done && ::GetLastError() != ERROR_MORE_DATA)
        return false;
    message.assign(m_buffer, n);
    if (!done)
        DropRestOfMessage();
    return true;
}

// The rest of an over-long message is in the pipe already, so these reads end at once.
void CPipeInstance::DropRestOfMessage()
{
    for (;;) {
        DWORD n;
        if (!::ReadFile(m_pipe, m_buffer, kMessageSize, nullptr, &m_read)
            && ::GetLastError() != ERROR_IO_PENDING && ::GetLastError() != ERROR_MORE_DATA)
            return;
        if (::GetOverlappedResult(m_pipe, &m_read, &n, TRUE) || ::GetLastError() != ERROR_MORE_DATA)
            return;
    }
}

bool CPipeInstance::Write(const std::string& message, HANDLE quit, DWORD timeout)
{
    if (::WriteFile(m_pipe, message.data(), DWORD(message.size()), nullptr, &m_write))
        return true;
    if (::GetLastError() != ERROR_IO_PENDING)
        return false;
    m_writePending = true;
    HANDLE events[] = {quit, m_writeEvent};
    if (::WaitForMultipleObjects(2, events, FALSE, timeout) != WAIT_OBJECT_0 + 1)
        return false;  // still pending: the destructor cancels it
    m_writePending = false;
    DWORD n;
    return ::GetOverlappedResult(m_pipe, &m_write, &n, FALSE) && n == message.size();
}
