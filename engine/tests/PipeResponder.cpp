#include "PipeResponder.h"

CPipeResponder::CPipeResponder(const std::wstring& path, Handler handler) : m_handler(std::move(handler))
{
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 15000) {
        m_pipe.Attach(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr));
        if (m_pipe.IsValid())
            break;
        ::Sleep(10);
    }
    if (!m_pipe.IsValid())
        return;
    DWORD mode = PIPE_READMODE_MESSAGE;
    ::SetNamedPipeHandleState(m_pipe, &mode, nullptr, nullptr);
    m_thread = std::thread(&CPipeResponder::Run, this);
}

void CPipeResponder::Disconnect()
{
    m_stop.Set();
    if (m_thread.joinable())
        m_thread.join();
    m_pipe.Close();
}

std::vector<std::string> CPipeResponder::Requests()
{
    std::lock_guard<std::mutex> lock(m_requestsLock);
    return m_requests;
}

bool CPipeResponder::Send(const std::string& message)
{
    std::lock_guard<std::mutex> lock(m_writeLock);
    OVERLAPPED o = {};
    o.hEvent = m_writeEvent;
    DWORD n = 0;
    if (!::WriteFile(m_pipe, message.data(), DWORD(message.size()), nullptr, &o)
        && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    return ::GetOverlappedResult(m_pipe, &o, &n, TRUE) && n == message.size();
}

void CPipeResponder::Run()
{
    std::string request;
    while (ReadMessage(request)) {
        {
            std::lock_guard<std::mutex> lock(m_requestsLock);
            m_requests.push_back(request);
        }
        std::string reply;
        if (m_handler(request, reply))
            Send(reply);
    }
}

// False when told to stop or when the server has gone.
bool CPipeResponder::ReadMessage(std::string& message)
{
    char buffer[20000];
    OVERLAPPED o = {};
    o.hEvent = m_readEvent;
    if (!::ReadFile(m_pipe, buffer, sizeof buffer, nullptr, &o) && ::GetLastError() != ERROR_IO_PENDING)
        return false;
    HANDLE events[] = {m_stop, m_readEvent};
    DWORD n = 0;
    if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
        ::CancelIo(m_pipe);
        ::GetOverlappedResult(m_pipe, &o, &n, TRUE);
        return false;
    }
    if (!::GetOverlappedResult(m_pipe, &o, &n, FALSE))
        return false;
    message.assign(buffer, n);
    return true;
}
