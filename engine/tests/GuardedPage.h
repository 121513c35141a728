#pragma once
#include <windows.h>
#include <algorithm>

// One read-write page followed by a no-access page. Data placed at the end of the first page
// faults on any read past its last element.
class CGuardedPage {
public:
    CGuardedPage()
    {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        m_page = info.dwPageSize;
        m_base = static_cast<char*>(::VirtualAlloc(nullptr, 2 * m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &old);
    }
    ~CGuardedPage() { ::VirtualFree(m_base, 0, MEM_RELEASE); }
    CGuardedPage(const CGuardedPage&) = delete;
    CGuardedPage& operator=(const CGuardedPage&) = delete;

    size_t Bytes() const { return m_page; }

    // Copies count elements so that the last one ends where the page ends.
    template <class T>
    T* Place(const T* data, size_t count)
    {
        T* start = reinterpret_cast<T*>(m_base + m_page) - count;
        std::copy(data, data + count, start);
        return start;
    }

private:
    DWORD m_page = 0;
    char* m_base = nullptr;
};
