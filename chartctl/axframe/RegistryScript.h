#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

// A registry script under HKEY_CLASSES_ROOT: keys with their default and named values, written
// in order at registration and removed at unregistration. "%NAME%" in any text is replaced from
// the substitution list when the script runs.
struct CRegKeyEntry {
    const wchar_t* path;
    const wchar_t* defaultValue;  // nullptr: no default value
    std::vector<std::pair<const wchar_t*, const wchar_t*>> values = {};
    bool force = false;       // deleted with all its contents before it is written
    bool noRemove = false;    // left in place at unregistration
};

class CRegistryScript {
public:
    CRegistryScript(std::vector<CRegKeyEntry> keys, std::vector<std::pair<std::wstring, std::wstring>> substitutions);
    HRESULT Register() const;
    HRESULT Unregister() const;

private:
    std::wstring Expand(const wchar_t* text) const;

    std::vector<CRegKeyEntry> m_keys;
    std::vector<std::pair<std::wstring, std::wstring>> m_substitutions;
};
