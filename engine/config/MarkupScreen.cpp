#include "MarkupScreen.h"
#include "TextConv.h"
#include <algorithm>

const wchar_t kDoctypeRefusal[] = L"Объявление DOCTYPE: описание типа документа (DTD) в файле не допускается";

namespace {
constexpr unsigned kEnd = 0x10000;  // past the last character
constexpr size_t kQuoted = 32;      // characters of a long token quoted in the refusal

bool IsNameCharacter(unsigned c)
{
    return (c >= 0x80 && c != kEnd) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '-' || c == '_' || c == ':';
}

// The file's characters, one or two bytes each.
class CMarkupReader {
public:
    explicit CMarkupReader(const std::string& bytes) : m_bytes(bytes)
    {
        if (Byte(0) == 0xEF && Byte(1) == 0xBB && Byte(2) == 0xBF) {
            m_at = 3;
        } else if ((Byte(0) == 0xFF && Byte(1) == 0xFE) || (Byte(0) == '<' && Byte(1) == 0)) {
            m_width = 2;
            m_at = Byte(0) == 0xFF ? 2 : 0;
        } else if ((Byte(0) == 0xFE && Byte(1) == 0xFF) || (Byte(0) == 0 && Byte(1) == '<')) {
            m_width = 2;
            m_bigEndian = true;
            m_at = Byte(0) == 0xFE ? 2 : 0;
        }
    }

    // The character i places on.
    unsigned At(size_t i = 0) const
    {
        size_t at = m_at + i * m_width;
        if (m_width == 1)
            return Byte(at);
        if (at + 1 >= m_bytes.size())
            return kEnd;
        return m_bigEndian ? Byte(at) << 8 | Byte(at + 1) : Byte(at + 1) << 8 | Byte(at);
    }

    bool Starts(const char* text) const
    {
        for (size_t i = 0; text[i]; ++i)
            if (At(i) != static_cast<unsigned char>(text[i]))
                return false;
        return true;
    }

    void Advance(size_t characters = 1) { m_at = std::min(m_at + characters * m_width, m_bytes.size()); }

    void SkipBlanks()
    {
        while (At() == ' ' || At() == '\t' || At() == '\r' || At() == '\n')
            Advance();
    }

    void SkipPast(const char* close)
    {
        while (At() != kEnd && !Starts(close))
            Advance();
        Advance(std::char_traits<char>::length(close));
    }

    // Reads a run of name characters; its first characters, readable, when it is too long.
    bool ReadName(std::wstring& name, std::wstring& tooLong)
    {
        size_t start = m_at, length = 0;
        for (; IsNameCharacter(At()); Advance())
            ++length;
        name = Text(start, length);
        return Limit(start, length, tooLong);
    }

    // Reads a quoted value up to its closing quote; false when none opens here. Entity names in
    // it are read as names, and the value itself is held to the limit when it is quoted back.
    bool ReadValue(bool limited, std::wstring& tooLong)
    {
        unsigned quote = At();
        if (quote != '"' && quote != '\'')
            return false;
        Advance();
        size_t start = m_at, length = 0;
        std::wstring name;
        for (; At() != quote && At() != kEnd && tooLong.empty(); ++length) {
            if (At() == '&') {
                Advance();
                ReadName(name, tooLong);
            } else {
                Advance();
            }
        }
        Advance();
        if (limited && tooLong.empty())
            Limit(start, length, tooLong);
        return true;
    }

private:
    unsigned Byte(size_t i) const { return i < m_bytes.size() ? static_cast<unsigned char>(m_bytes[i]) : kEnd; }

    bool Limit(size_t start, size_t length, std::wstring& tooLong) const
    {
        if (length <= kMarkupTokenLimit)
            return true;
        tooLong = Text(start, kQuoted) + L"...";
        return false;
    }

    std::wstring Text(size_t start, size_t length) const
    {
        if (m_width == 1)
            return AnsiToWide(m_bytes.substr(start, length), CP_UTF8);
        std::wstring text;
        for (size_t at = start; at + 1 < m_bytes.size() && text.size() < length; at += 2)
            text += wchar_t(m_bigEndian ? Byte(at) << 8 | Byte(at + 1) : Byte(at + 1) << 8 | Byte(at));
        return text;
    }

    const std::string& m_bytes;
    size_t m_at = 0;
    size_t m_width = 1;
    bool m_bigEndian = false;
};

// A start or end tag, or a processing instruction, from its name on; the declaration's values
// and the namespace values are quoted back by readers, the others are not.
void ReadTag(CMarkupReader& reader, bool instruction, std::wstring& tooLong)
{
    std::wstring name, attribute;
    if (!reader.ReadName(name, tooLong))
        return;
    if (instruction && name != L"xml")
        return reader.SkipPast("?>");
    for (;;) {
        reader.SkipBlanks();
        if (!reader.ReadName(attribute, tooLong) || attribute.empty())
            return;
        reader.SkipBlanks();
        if (reader.At() != '=')
            return;
        reader.Advance();
        reader.SkipBlanks();
        if (!reader.ReadValue(instruction || attribute.compare(0, 3, L"xml") == 0, tooLong) || !tooLong.empty())
            return;
    }
}
}  // namespace

std::wstring ScreenMarkup(const std::string& bytes)
{
    CMarkupReader reader(bytes);
    std::wstring name, tooLong;
    while (reader.At() != kEnd && tooLong.empty()) {
        if (reader.Starts("<!DOCTYPE"))
            return kDoctypeRefusal;
        if (reader.Starts("<!--")) {
            reader.SkipPast("-->");
        } else if (reader.Starts("<![CDATA[")) {
            reader.SkipPast("]]>");
        } else if (reader.Starts("<!")) {
            reader.SkipPast(">");
        } else if (reader.Starts("<?") || reader.Starts("</")) {
            bool instruction = reader.At(1) == '?';
            reader.Advance(2);
            ReadTag(reader, instruction, tooLong);
        } else if (reader.At() == '<') {
            reader.Advance();
            ReadTag(reader, false, tooLong);
        } else if (reader.At() == '&') {
            reader.Advance();
            reader.ReadName(name, tooLong);
        } else {
            reader.Advance();
        }
    }
    if (tooLong.empty())
        return {};
    return L"Разметка \"" + tooLong + L"\": имя или значение пространства имён длиннее " +
           std::to_wstring(kMarkupTokenLimit) + L" символов";
}
