#include "SimulatedModem.h"
#include <cstdlib>
#include <vector>

CSimulatedModem::CSimulatedModem(const std::string& port)
    : m_port(::CreateFileA(port.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
    if (!m_port.IsValid())
        return;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ::BuildCommDCBA("19200,n,8,1", &dcb);
    ::SetCommState(m_port, &dcb);
    COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, 1, 0, 0};
    ::SetCommTimeouts(m_port, &timeouts);
    ::PurgeComm(m_port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_thread = std::thread([this] { Run(); });
}

CSimulatedModem::~CSimulatedModem()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CSimulatedModem::Run()
{
    char buffer[4096];
    while (!m_stop) {
        DWORD count = 0;
        if (!::ReadFile(m_port, buffer, sizeof buffer, &count, nullptr) || count == 0) {
            ::Sleep(1);
            continue;
        }
        std::vector<std::string> commands;
        {
            CScopedLock lock(m_lock);
            m_received.append(buffer, count);
            for (size_t end; (end = m_received.find('\r', m_lineStart)) != std::string::npos; m_lineStart = end + 1)
                commands.push_back(m_received.substr(m_lineStart, end - m_lineStart));
        }
        for (const std::string& command : commands)
            if (command.compare(0, 2, "AT") == 0)
                Answer(command);
    }
}

void CSimulatedModem::Answer(const std::string& command)
{
    if (command.compare(0, 4, "AT&V") == 0) {
        Write("OK\r\n");
    } else if (command.compare(0, 3, "ATI") == 0) {
        Write("\xCC\xEE\xE4\xE5\xEC\r\n");  // "Модем", code page 1251
    } else if (command.compare(0, 5, "ATGAP") == 0) {
        Write("ONE\r");
        ::Sleep(DWORD(std::atoi(command.c_str() + 5)));
        Write("TWO\r");
    }
}

void CSimulatedModem::Write(const std::string& bytes)
{
    DWORD written = 0;
    ::WriteFile(m_port, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::string CSimulatedModem::Received()
{
    CScopedLock lock(m_lock);
    return m_received;
}

bool CSimulatedModem::WaitReceived(const std::string& bytes, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    do {
        if (Received().find(bytes) != std::string::npos)
            return true;
        ::Sleep(20);
    } while (::GetTickCount() - start < milliseconds);
    return false;
}
