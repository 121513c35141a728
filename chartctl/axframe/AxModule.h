#pragma once
#include <windows.h>
#include <string>

// The in-process server's own state: its instance handle and the count of live objects and
// server locks that DllCanUnloadNow reads.
class CAxModule {
public:
    void Init(HINSTANCE instance) { m_instance = instance; }
    HINSTANCE Instance() const { return m_instance; }
    std::wstring Path() const;

    void Lock() { ::InterlockedIncrement(&m_locks); }
    void Unlock() { ::InterlockedDecrement(&m_locks); }
    LONG LockCount() const { return m_locks; }

private:
    HINSTANCE m_instance = nullptr;
    LONG m_locks = 0;
};

// The one module object of the library.
CAxModule& AxModule();
