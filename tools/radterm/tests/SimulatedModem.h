#pragma once
#include "CriticalSection.h"
#include "Handle.h"
#include <windows.h>
#include <atomic>
#include <string>
#include <thread>

// A modem on the far end of a pty line: records every byte it receives and answers Hayes
// commands (lines ending in a carriage return that begin with AT).
//   AT&V...   -> "OK\r\n"
//   ATGAPn    -> "ONE\r", n ms of silence, "TWO\r"
//   any other -> nothing
class CSimulatedModem {
public:
    explicit CSimulatedModem(const std::string& port);
    ~CSimulatedModem();
    CSimulatedModem(const CSimulatedModem&) = delete;
    CSimulatedModem& operator=(const CSimulatedModem&) = delete;

    bool Opened() const { return m_port.IsValid(); }
    void Write(const std::string& bytes);
    // Waits until the received bytes hold `bytes`; true when they came.
    bool WaitReceived(const std::string& bytes, DWORD milliseconds);
    std::string Received();

private:
    void Run();
    void Answer(const std::string& command);

    CHandle m_port;
    CCriticalSection m_lock;
    std::string m_received;
    size_t m_lineStart = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
