#include "XmlProlog.h"

namespace {
// The file's characters, one or two bytes each, as far as the prolog goes.
class CPrologReader {
public:
    explicit CPrologReader(const std::string& bytes) : m_bytes(bytes)
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

    void SkipBlanks()
    {
        while (At(0) == ' ' || At(0) == '\t' || At(0) == '\r' || At(0) == '\n')
            m_at += m_width;
    }

    bool Starts(const char* text) const
    {
        for (size_t i = 0; text[i]; ++i)
            if (At(i) != static_cast<unsigned char>(text[i]))
                return false;
        return true;
    }

    // Moves past a section that opens here and ends with its closing text; false when none
    // opens here or the file ends inside it.
    bool SkipSection(const char* open, const char* close)
    {
        if (!Starts(open))
            return false;
        for (m_at += Length(open) * m_width; m_at < m_bytes.size(); m_at += m_width)
            if (Starts(close)) {
                m_at += Length(close) * m_width;
                return true;
            }
        return false;
    }

private:
    static size_t Length(const char* text) { return std::char_traits<char>::length(text); }
    unsigned Byte(size_t i) const { return i < m_bytes.size() ? static_cast<unsigned char>(m_bytes[i]) : 0x100; }

    // The character i places on; 0x100 past the end.
    unsigned At(size_t i) const
    {
        size_t at = m_at + i * m_width;
        if (m_width == 1)
            return Byte(at);
        if (at + 1 >= m_bytes.size())
            return 0x100;
        return m_bigEndian ? Byte(at) << 8 | Byte(at + 1) : Byte(at + 1) << 8 | Byte(at);
    }

    const std::string& m_bytes;
    size_t m_at = 0;
    size_t m_width = 1;
    bool m_bigEndian = false;
};
}  // namespace

bool DeclaresDocumentType(const std::string& bytes)
{
    CPrologReader prolog(bytes);
    for (;;) {
        prolog.SkipBlanks();
        if (prolog.Starts("<!DOCTYPE"))
            return true;
        if (!prolog.SkipSection("<?", "?>") && !prolog.SkipSection("<!--", "-->"))
            return false;
    }
}
