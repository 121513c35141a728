#pragma once
#include <cstddef>
#include <string_view>

enum class ETokenKind { None, Name, Delimiter, Number, End };

// The formula scanner: one token per call of Next, blanks, tabs and line breaks skipped on both
// sides.
// It never reads past the terminating zero of the text.
class CExprScanner {
public:
    static constexpr size_t kTokenSize = 31;
    static constexpr size_t kNameSize = 15;

    void Start(const wchar_t* text);
    // False on a character no token starts with, or on a number longer than the token buffer
    // (cutting a number would change its value); the token then holds the offending text.
    bool Next();

    ETokenKind Kind() const { return m_kind; }
    const wchar_t* Token() const { return m_token; }
    bool Is(wchar_t delimiter) const { return m_kind == ETokenKind::Delimiter && m_token[0] == delimiter; }
    // The character right after the current token and its blanks: "=" makes an assignment,
    // "(" a function call.
    wchar_t Following() const { return m_text[m_pos]; }
    size_t Position() const { return m_pos; }
    // The latest name token as the text writes it, before it is cut to kNameSize.
    std::wstring_view FullName() const { return m_fullName; }

private:
    void SkipBlanks();
    bool ReadNumber();
    void ReadName();
    void SetToken(const wchar_t* from, size_t length, ETokenKind kind);

    const wchar_t* m_text = L"";
    size_t m_pos = 0;
    wchar_t m_token[kTokenSize + 1] = {};
    ETokenKind m_kind = ETokenKind::None;
    std::wstring_view m_fullName;
};
