#pragma once
#include "CriticalSection.h"
#include "Handle.h"
#include <windows.h>
#include <atomic>
#include <deque>
#include <string>
#include <vector>

// An RS485 module on the far end of a pty line: collects each request up to its carriage
// return and answers it with the next queued reply, or stays silent when none is queued.
class CSimulatedModule {
public:
    ~CSimulatedModule();
    bool Open(int comNumber);
    // The next request is answered with these bytes, after the given pause.
    void QueueReply(const std::string& bytes, DWORD pauseMs = 0);
    // The requests so far, each with its carriage return.
    std::vector<std::string> Requests();
    // Waits until at least that many requests came; the requests then.
    std::vector<std::string> WaitForRequests(size_t count, DWORD milliseconds = 10000);

private:
    struct Reply {
        std::string bytes;
        DWORD pause;
    };
    static unsigned __stdcall ThreadMain(void* self);
    void Serve();
    void Answer(const std::string& request);

    CHandle m_port;
    CHandle m_thread;
    std::atomic<bool> m_stop{false};
    CCriticalSection m_lock;
    std::deque<Reply> m_replies;
    std::vector<std::string> m_requests;
};
