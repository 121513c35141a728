#pragma once
#include <windows.h>

// A DLL loaded at run time, freed with the owner.
class CLibrary {
public:
    CLibrary() = default;
    explicit CLibrary(const wchar_t* name) : m_module(::LoadLibraryW(name)) {}
    ~CLibrary() { if (m_module) ::FreeLibrary(m_module); }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;

    explicit operator bool() const { return m_module != nullptr; }
    template <class F>
    F Function(const char* name) const
    {
        return m_module ? reinterpret_cast<F>(::GetProcAddress(m_module, name)) : nullptr;
    }

private:
    HMODULE m_module = nullptr;
};
