#pragma once
#include <windows.h>

// Owns a kernel handle; both NULL and INVALID_HANDLE_VALUE mean "none".
class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& o) noexcept : m_h(o.Detach()) {}
    CHandle& operator=(CHandle&& o) noexcept { if (this != &o) Attach(o.Detach()); return *this; }

    operator HANDLE() const { return m_h; }
    bool IsValid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    void Attach(HANDLE h) { Close(); m_h = h; }
    HANDLE Detach() { HANDLE h = m_h; m_h = nullptr; return h; }
    void Close() { if (IsValid()) ::CloseHandle(m_h); m_h = nullptr; }

private:
    HANDLE m_h = nullptr;
};
