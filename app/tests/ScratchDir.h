#pragma once
#include "FileBytes.h"
#include <windows.h>
#include <fstream>
#include <string>

// A fresh folder under %TEMP% that is the current directory for one test; it is emptied and
// removed afterwards, and the previous current directory comes back.
class CScratchDir {
public:
    CScratchDir()
    {
        wchar_t temp[MAX_PATH], previous[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        static int counter = 0;
        m_path = std::wstring(temp) + L"orvex-alarm-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
        ::SetCurrentDirectoryW(m_path.c_str());
    }
    ~CScratchDir()
    {
        ::SetCurrentDirectoryW(m_previous.c_str());
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((m_path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring item = m_path + L"\\" + found.cFileName;
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW(item.c_str());
                else if (found.cFileName[0] != L'.')
                    ::RemoveDirectoryW(item.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::wstring m_previous;
};

inline void WriteFileBytes(const std::wstring& name, const std::string& bytes)
{
    std::ofstream(name.c_str(), std::ios::binary) << bytes;
}
