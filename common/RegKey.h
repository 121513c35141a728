#pragma once
#include <windows.h>

// Owns an open registry key.
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    LONG Create(HKEY parent, const wchar_t* path)
    {
        Close();
        return ::RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
    }
    LONG Open(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ)
    {
        Close();
        return ::RegOpenKeyExW(parent, path, 0, access, &m_key);
    }
    void Close() { if (m_key) ::RegCloseKey(m_key); m_key = nullptr; }
    operator HKEY() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
