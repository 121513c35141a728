#pragma once
#include "Event.h"
#include "Thread.h"
#include <oaidl.h>
#include <functional>

// The thread that feeds the chart from its channel: every period it calls the tick with the
// "value" identifier taken at its start. The period counts from the end of the previous tick.
class CPollWorker {
public:
    explicit CPollWorker(std::function<void(DISPID)> tick) : m_tick(std::move(tick)) {}
    ~CPollWorker() { Stop(); }
    CPollWorker(const CPollWorker&) = delete;
    CPollWorker& operator=(const CPollWorker&) = delete;

    bool Start(DWORD period, DISPID valueId);
    // Ends the thread and waits for it, serving calls the thread makes into this apartment
    // meanwhile (a tick may be calling a channel object that lives here).
    void Stop();

private:
    void Run();

    std::function<void(DISPID)> m_tick;
    DWORD m_period = 0;
    DISPID m_valueId = DISPID_UNKNOWN;
    CHandle m_pollStop;
    CThread m_thread;
};
