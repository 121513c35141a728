#include "SimLink.h"

// The line is set up as the engine sets up its end.
bool CSimPort::Open(const std::wstring& portId, const std::wstring& settings)
{
    return m_port.Open(portId) && m_port.Configure({settings});
}

std::string CSimPort::Read()
{
    char buffer[512];
    DWORD got = 0;
    if (!::ReadFile(m_port, buffer, sizeof buffer, &got, nullptr)) {
        ::Sleep(1);
        return {};
    }
    return std::string(buffer, got);
}

bool CSimPort::Write(const std::string& bytes)
{
    DWORD written = 0;
    return ::WriteFile(m_port, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

unsigned CSimPort::Baud()
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    return ::GetCommState(m_port, &dcb) ? unsigned(dcb.BaudRate) : 0;
}

bool CSimPipeClient::Connect(const std::wstring& path)
{
    for (;;) {
        m_pipe.Attach(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (m_pipe.IsValid())
            break;
        DWORD error = ::GetLastError();
        if (error != ERROR_PIPE_BUSY && error != ERROR_FILE_NOT_FOUND)
            return false;
        ::Sleep(50);
    }
    DWORD mode = PIPE_READMODE_MESSAGE;
    return ::SetNamedPipeHandleState(m_pipe, &mode, nullptr, nullptr) != FALSE;
}

bool CSimPipeClient::ReadMessage(std::string& message)
{
    message.clear();
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        BOOL ok = ::ReadFile(m_pipe, buffer, sizeof buffer, &got, nullptr);
        message.append(buffer, got);
        if (ok)
            return true;
        if (::GetLastError() != ERROR_MORE_DATA)
            return false;
    }
}

bool CSimPipeClient::Write(const std::string& bytes)
{
    DWORD written = 0;
    return ::WriteFile(m_pipe, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}
