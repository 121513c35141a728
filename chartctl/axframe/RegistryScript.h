#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

// One key of a registry script, with its full path under HKEY_CLASSES_ROOT.
struct CRegKeyEntry {
    std::wstring path;
    bool hasDefault = false;
    std::wstring defaultValue;
    std::vector<std::pair<std::wstring, std::wstring>> values;
    bool force = false;     // ForceRemove: deleted with all its contents before it is written
    bool noRemove = false;  // NoRemove: left in place at unregistration
};

// A registry script in the registrar's text form, for HKCR only:
//     HKCR { [NoRemove|ForceRemove] name [= s 'text'] [{ val name = s 'text' ... subkeys }] }
// "%NAME%" in any text is replaced from the substitution list when the script runs.
class CRegistryScript {
public:
    CRegistryScript(const std::wstring& text, std::vector<std::pair<std::wstring, std::wstring>> substitutions);
    // The script of a "REGISTRY" resource of the module.
    static CRegistryScript FromResource(HINSTANCE module, int id,
                                        std::vector<std::pair<std::wstring, std::wstring>> substitutions);

    bool IsValid() const { return m_valid; }
    const std::vector<CRegKeyEntry>& Keys() const { return m_keys; }
    HRESULT Register() const;
    HRESULT Unregister() const;

private:
    std::wstring Expand(const std::wstring& text) const;

    std::vector<CRegKeyEntry> m_keys;
    std::vector<std::pair<std::wstring, std::wstring>> m_substitutions;
    bool m_valid = false;
};
