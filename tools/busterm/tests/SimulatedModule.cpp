#include "SimulatedModule.h"
#include <process.h>

CSimulatedModule::~CSimulatedModule()
{
    m_stop = true;
    if (m_thread.IsValid())
        ::WaitForSingleObject(m_thread, INFINITE);
}

bool CSimulatedModule::Open(int comNumber)
{
    std::wstring name = L"\\\\.\\COM" + std::to_wstring(comNumber);
    m_port.Attach(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!m_port.IsValid())
        return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ::BuildCommDCBW(L"9600,n,8,1", &dcb);
    ::SetCommState(m_port, &dcb);
    // A read returns with what has come, or after 20 ms with nothing, so the thread sees m_stop.
    COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, 20, 0, 0};
    ::SetCommTimeouts(m_port, &timeouts);
    ::PurgeComm(m_port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_thread.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadMain, this, 0, nullptr)));
    return m_thread.IsValid();
}

void CSimulatedModule::QueueReply(const std::string& bytes, DWORD pauseMs)
{
    CScopedLock hold(m_lock);
    m_replies.push_back({bytes, pauseMs});
}

std::vector<std::string> CSimulatedModule::Requests()
{
    CScopedLock hold(m_lock);
    return m_requests;
}

std::vector<std::string> CSimulatedModule::WaitForRequests(size_t count, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    while (Requests().size() < count && ::GetTickCount() - start < milliseconds)
        ::Sleep(5);
    return Requests();
}

unsigned __stdcall CSimulatedModule::ThreadMain(void* self)
{
    static_cast<CSimulatedModule*>(self)->Serve();
    return 0;
}

void CSimulatedModule::Serve()
{
    std::string pending;
    char buffer[4096];
    while (!m_stop) {
        DWORD got = 0;
        if (!::ReadFile(m_port, buffer, sizeof buffer, &got, nullptr))
            ::Sleep(5);
        pending.append(buffer, got);
        for (size_t end; (end = pending.find('\r')) != std::string::npos;) {
            Answer(pending.substr(0, end + 1));
            pending.erase(0, end + 1);
        }
    }
}

void CSimulatedModule::Answer(const std::string& request)
{
    Reply reply{};
    bool answer = false;
    {
        CScopedLock hold(m_lock);
        m_requests.push_back(request);
        if (!m_replies.empty()) {
            reply = m_replies.front();
            m_replies.pop_front();
            answer = true;
        }
    }
    if (!answer)
        return;
    ::Sleep(reply.pause);
    DWORD written = 0;
    ::WriteFile(m_port, reply.bytes.data(), DWORD(reply.bytes.size()), &written, nullptr);
}
