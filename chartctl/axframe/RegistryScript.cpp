#include "RegistryScript.h"
#include "RegKey.h"

namespace {
LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
}  // namespace

CRegistryScript::CRegistryScript(std::vector<CRegKeyEntry> keys,
                                 std::vector<std::pair<std::wstring, std::wstring>> substitutions)
    : m_keys(std::move(keys)), m_substitutions(std::move(substitutions))
{
}

std::wstring CRegistryScript::Expand(const wchar_t* text) const
{
    std::wstring result = text;
    for (const auto& [name, value] : m_substitutions) {
        const std::wstring token = L"%" + name + L"%";
        for (size_t at = result.find(token); at != std::wstring::npos; at = result.find(token, at + value.size()))
            result.replace(at, token.size(), value);
    }
    return result;
}

HRESULT CRegistryScript::Register() const
{
    for (const CRegKeyEntry& entry : m_keys) {
        const std::wstring path = Expand(entry.path);
        if (entry.force)
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        CRegKey key;
        LONG error = key.Create(HKEY_CLASSES_ROOT, path.c_str());
        if (error == ERROR_SUCCESS && entry.defaultValue)
            error = SetString(key, nullptr, Expand(entry.defaultValue));
        for (auto it = entry.values.begin(); error == ERROR_SUCCESS && it != entry.values.end(); ++it)
            error = SetString(key, it->first, Expand(it->second));
        if (error != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

HRESULT CRegistryScript::Unregister() const
{
    // Children before parents, so a listed parent is empty by the time it goes.
    for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it) {
        if (it->noRemove)
            continue;
        LONG error = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Expand(it->path).c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}
