#pragma once
#include "Event.h"
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The far end of a segment's pipe, as a process standing in for the devices holds it: connects
// (retrying while the server has no free instance) and answers each request through a handler on
// a thread of its own. A handler returning false stays silent.
class CPipeResponder {
public:
    using Handler = std::function<bool(const std::string& request, std::string& reply)>;

    CPipeResponder(const std::wstring& path, Handler handler);
    ~CPipeResponder() { Disconnect(); }

    bool Connected() const { return m_pipe.IsValid(); }
    bool Send(const std::string& message);  // also usable from outside the answering thread
    std::vector<std::string> Requests();
    void Disconnect();

private:
    void Run();
    bool ReadMessage(std::string& message);

    Handler m_handler;
    CHandle m_pipe;
    CEvent m_stop{true};
    CEvent m_readEvent{true};
    CEvent m_writeEvent{true};
    std::mutex m_writeLock;
    std::mutex m_requestsLock;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
