#pragma once
#include "MessageLoop.h"
#include <windows.h>
#include <map>

// The application module: the instance handle and the message loop of each thread.
class CAppModule {
public:
    void Init(HINSTANCE instance) { m_instance = instance; }
    void Term() { m_loops.clear(); }
    HINSTANCE Instance() const { return m_instance; }

    void AddMessageLoop(CMessageLoop* loop) { m_loops[::GetCurrentThreadId()] = loop; }
    void RemoveMessageLoop() { m_loops.erase(::GetCurrentThreadId()); }
    // The loop of the calling thread, or none.
    CMessageLoop* GetMessageLoop() const;

private:
    HINSTANCE m_instance = nullptr;
    std::map<DWORD, CMessageLoop*> m_loops;
};

extern CAppModule g_module;
