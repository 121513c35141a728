#pragma once
#include <windows.h>

// Owns a view mapped with MapViewOfFile.
class CMappedView {
public:
    CMappedView() = default;
    ~CMappedView() { Unmap(); }
    CMappedView(const CMappedView&) = delete;
    CMappedView& operator=(const CMappedView&) = delete;

    bool Map(HANDLE mapping, DWORD access, SIZE_T size)
    {
        Unmap();
        m_view = ::MapViewOfFile(mapping, access, 0, 0, size);
        return m_view != nullptr;
    }
    void Unmap() { if (m_view) ::UnmapViewOfFile(m_view); m_view = nullptr; }
    void* Get() const { return m_view; }

private:
    void* m_view = nullptr;
};
