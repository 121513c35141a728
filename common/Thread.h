#pragma once
#include "Handle.h"
#include <functional>

// A thread of the C runtime running one function. The owner tells the function to end (by an
// event of its own) and waits for it before the objects the function uses go; the destructor
// waits too, so no thread outlives its owner.
class CThread {
public:
    CThread() = default;
    ~CThread() { Wait(); }
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Runs `body` on a new thread; false when none could be made. A thread that ran before is
    // waited for first.
    bool Start(std::function<void()> body);
    bool IsValid() const { return m_handle.IsValid(); }
    // Whether the function is still running.
    bool IsRunning() const { return IsValid() && ::WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT; }
    // Waits for the function to end and lets the thread's handle go; nothing when none was started.
    void Wait();
    // Lets the handle go without waiting, for an owner that waited on it in its own way.
    void Close() { m_handle.Close(); }
    operator HANDLE() const { return m_handle; }

private:
    static unsigned __stdcall Run(void* self);

    std::function<void()> m_body;
    CHandle m_handle;
};
