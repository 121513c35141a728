#include "RegistryScript.h"
#include "RegKey.h"
#include <cwctype>

namespace {
struct CToken {
    std::wstring text;
    bool quoted;
};

// Words, 'quoted text', and the marks { } =. A brace directly followed by a non-blank starts a
// word that runs to its closing brace: a bare {GUID} key name.
std::vector<CToken> Tokenise(const std::wstring& text)
{
    std::vector<CToken> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (std::iswspace(c)) {
            ++i;
        } else if (c == L'\'') {
            const size_t end = text.find(L'\'', i + 1);
            if (end == std::wstring::npos)
                return {};
            tokens.push_back({text.substr(i + 1, end - i - 1), true});
            i = end + 1;
        } else if (c == L'{' && i + 1 < text.size() && !std::iswspace(text[i + 1])) {
            const size_t end = text.find(L'}', i);
            if (end == std::wstring::npos)
                return {};
            tokens.push_back({text.substr(i, end - i + 1), false});
            i = end + 1;
        } else if (c == L'{' || c == L'}' || c == L'=') {
            tokens.push_back({std::wstring(1, c), false});
            ++i;
        } else {
            size_t end = i;
            while (end < text.size() && !std::iswspace(text[end]) && text[end] != L'=' && text[end] != L'{' &&
                   text[end] != L'}')
                ++end;
            tokens.push_back({text.substr(i, end - i), false});
            i = end;
        }
    }
    return tokens;
}

// Turns the tokens into the list of keys, parents before their children.
class CScriptParser {
public:
    explicit CScriptParser(std::vector<CToken> tokens) : m_tokens(std::move(tokens)) {}

    bool Parse(std::vector<CRegKeyEntry>& keys)
    {
        if (!Is(L"HKCR") || !Next() || !Is(L"{") || !Next() || !ParseBody(L"", keys, nullptr))
            return false;
        return Is(L"}") && m_at + 1 == m_tokens.size();
    }

private:
    bool Is(const wchar_t* mark) const
    {
        return m_at < m_tokens.size() && !m_tokens[m_at].quoted && m_tokens[m_at].text == mark;
    }
    bool Next() { return ++m_at < m_tokens.size(); }
    const std::wstring& Text() const { return m_tokens[m_at].text; }

    // "= s 'text'": the string after it, the position past it.
    bool ParseString(std::wstring& value)
    {
        if (!Is(L"=") || !Next() || !Is(L"s") || !Next())
            return false;
        value = Text();
        return Next();
    }

    // Keys and named values up to the closing brace (left as the current token).
    bool ParseBody(const std::wstring& parent, std::vector<CRegKeyEntry>& keys, CRegKeyEntry* owner)
    {
        while (m_at < m_tokens.size() && !Is(L"}")) {
            if (Is(L"val")) {
                if (!owner || !Next())
                    return false;
                std::wstring name = Text(), value;
                if (!Next() || !ParseString(value))
                    return false;
                owner->values.emplace_back(name, value);
                continue;
            }
            if (!ParseKey(parent, keys))
                return false;
        }
        return m_at < m_tokens.size();
    }

    bool ParseKey(const std::wstring& parent, std::vector<CRegKeyEntry>& keys)
    {
        CRegKeyEntry entry;
        if (Is(L"NoRemove") || Is(L"ForceRemove")) {
            (Is(L"NoRemove") ? entry.noRemove : entry.force) = true;
            if (!Next())
                return false;
        }
        entry.path = parent.empty() ? Text() : parent + L"\\" + Text();
        if (!Next())
            return false;
        if (Is(L"=")) {
            entry.hasDefault = true;
            if (!ParseString(entry.defaultValue))
                return false;
        }
        const size_t index = keys.size();
        keys.push_back(entry);
        if (!Is(L"{"))
            return true;
        const std::wstring path = entry.path;
        std::vector<CRegKeyEntry> children;
        if (!Next() || !ParseBody(path, children, &keys[index]) || !Is(L"}"))
            return false;
        keys.insert(keys.end(), children.begin(), children.end());
        return Next() || m_at == m_tokens.size();
    }

    std::vector<CToken> m_tokens;
    size_t m_at = 0;
};

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
}  // namespace

CRegistryScript::CRegistryScript(const std::wstring& text,
                                 std::vector<std::pair<std::wstring, std::wstring>> substitutions)
    : m_substitutions(std::move(substitutions))
{
    m_valid = CScriptParser(Tokenise(text)).Parse(m_keys);
    if (!m_valid)
        m_keys.clear();
}

CRegistryScript CRegistryScript::FromResource(HINSTANCE module, int id,
                                              std::vector<std::pair<std::wstring, std::wstring>> substitutions)
{
    std::wstring text;
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (bytes) {
        const int size = static_cast<int>(::SizeofResource(module, found));
        text.resize(::MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0));
        ::MultiByteToWideChar(CP_UTF8, 0, bytes, size, &text[0], static_cast<int>(text.size()));
    }
    return CRegistryScript(text, std::move(substitutions));
}

std::wstring CRegistryScript::Expand(const std::wstring& text) const
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
    if (!m_valid)
        return E_UNEXPECTED;
    for (const CRegKeyEntry& entry : m_keys) {
        const std::wstring path = Expand(entry.path);
        if (entry.force)
            ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
        CRegKey key;
        LONG error = key.Create(HKEY_CLASSES_ROOT, path.c_str());
        if (error == ERROR_SUCCESS && entry.hasDefault)
            error = SetString(key, nullptr, Expand(entry.defaultValue));
        for (auto it = entry.values.begin(); error == ERROR_SUCCESS && it != entry.values.end(); ++it)
            error = SetString(key, it->first.c_str(), Expand(it->second));
        if (error != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}

HRESULT CRegistryScript::Unregister() const
{
    if (!m_valid)
        return E_UNEXPECTED;
    // Children before parents; a removed key takes its children with it.
    for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it) {
        if (it->noRemove)
            continue;
        LONG error = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Expand(it->path).c_str());
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
            return HRESULT_FROM_WIN32(error);
    }
    return S_OK;
}
