#pragma once
#include "Event.h"
#include "Thread.h"
#include <vector>

class CDevice;
class CTransport;

// Serves the devices of one segment on a thread of its own: a read or a write phase over all
// of them, in file order, each time the pass signals it.
class CSegmentWorker {
public:
    CSegmentWorker(CTransport* transport, const std::vector<CDevice*>& allDevices);
    ~CSegmentWorker();
    CSegmentWorker(const CSegmentWorker&) = delete;
    CSegmentWorker& operator=(const CSegmentWorker&) = delete;

    // Whether the thread runs: a phase must not wait for one that will never answer.
    bool IsRunning() const { return m_thread.IsRunning(); }
    void StartRead() { m_read.Set(); }
    void StartWrite() { m_write.Set(); }
    HANDLE DoneEvent() const { return m_done; }
    bool ReadResult() const { return m_readResult != 0; }
    bool WriteResult() const { return m_writeResult != 0; }
    CTransport* Transport() const { return m_transport; }
    const std::vector<CDevice*>& Devices() const { return m_devices; }

private:
    void Run();

    CThread m_thread;
    CEvent m_quit, m_read, m_write, m_done;
    CTransport* m_transport;
    std::vector<CDevice*> m_devices;
    volatile int m_readResult = 1;
    volatile int m_writeResult = 1;
};
