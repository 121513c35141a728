#include "EvaluatorScanner.h"
#include <algorithm>
#include <cwchar>

namespace {

// Only ASCII counts: a Cyrillic letter or a non-Latin digit is not part of the language.
bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || IsDigit(c);
}

bool IsDelimiterChar(wchar_t c)
{
    return c != 0 && std::wcschr(L"+-*/%^(),=", c) != nullptr;
}

}  // namespace

void CExprScanner::Start(const wchar_t* text)
{
    m_text = text ? text : L"";
    m_pos = 0;
    SetToken(L"", 0, ETokenKind::None);
}

bool CExprScanner::Next()
{
    SkipBlanks();
    wchar_t c = m_text[m_pos];
    if (c == 0) {
        SetToken(L"", 0, ETokenKind::End);
    } else if (IsDelimiterChar(c)) {
        SetToken(m_text + m_pos++, 1, ETokenKind::Delimiter);
    } else if (IsDigit(c)) {
        if (!ReadNumber())
            return false;
    } else if (IsNameStart(c)) {
        ReadName();
    } else {
        // Step over the character so that the error position points at it.
        SetToken(m_text + m_pos++, 1, ETokenKind::None);
        return false;
    }
    SkipBlanks();
    return true;
}

// Line breaks are blanks too: a formula written on a line of its own in the file starts with one.
void CExprScanner::SkipBlanks()
{
    while (m_text[m_pos] && std::wcschr(L" \t\r\n", m_text[m_pos]))
        ++m_pos;
}

bool CExprScanner::ReadNumber()
{
    size_t start = m_pos;
    while (IsDigit(m_text[m_pos]) || m_text[m_pos] == L',')
        ++m_pos;
    size_t length = m_pos - start;
    SetToken(m_text + start, length, length <= kTokenSize ? ETokenKind::Number : ETokenKind::None);
    return length <= kTokenSize;
}

void CExprScanner::ReadName()
{
    size_t start = m_pos;
    while (IsNameChar(m_text[m_pos]))
        ++m_pos;
    m_fullName = std::wstring_view(m_text + start, m_pos - start);
    SetToken(m_text + start, std::min(m_pos - start, kNameSize), ETokenKind::Name);
}

void CExprScanner::SetToken(const wchar_t* from, size_t length, ETokenKind kind)
{
    length = std::min(length, kTokenSize);
    std::wmemcpy(m_token, from, length);
    m_token[length] = 0;
    m_kind = kind;
}
