// Mutated controller.xml files through the loader as orvex runs it: MSXML's SAX reader in a
// single-threaded apartment, then Build into an engine. Every file must load, with an engine
// whose bindings hold, or be refused: by the loader with its message, or by the reader. None
// may crash, hang or take longer than a second, and a file with a document type declaration
// never loads. The seeds are the files named on the command line and one of every device.
//   config_fuzz [--count N] [--seed S] [--first I] [seed.xml ...]
#include "ComPtr.h"
#include "FileBytes.h"
#include "FuzzRun.h"
#include "SAXConfig.h"
#include "TextConv.h"
#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <memory>
#include <set>

namespace {

constexpr double kLoadLimitMs = 1000.0;
const char kSecret[] = "ORVEX-FUZZ-SECRET";

const char kEveryDevice[] = R"(<?xml version="1.0" encoding="utf-8"?>
<configuration period="250">
  <port name="dcon" id="COM3" dcb="9600,n,8,1" protocol="DCON" delay="60" crc="off" lrc="on"/>
  <port name="rtu" id="COM4" dcb="19200,n,8,1" protocol="RTU" delay="40" crc="on" lrc="off"/>
  <port name="pipe" id="\\.\pipe\orvex-config-fuzz" delay="30"/>
  <device name="ICP7041D" transport="dcon" addres="01" description="Концевые выключатели">
    <item id="D0" idx="0" reg="0" direction="IN" type="D" description="вход 0"/>
    <item id="D15" idx="15" reg="0" direction="IN" type="D" description="вход 15"/>
  </device>
  <device name="ICP7042D" transport="dcon" addres="02" description="Выходы">
    <item id="Q12" idx="12" reg="0" direction="OUT" type="D" description="выход 12"/>
  </device>
  <device name="ICP7044D" transport="dcon" addres="03" description="Насос">
    <item id="PUMP" idx="7" reg="0" direction="OUT" type="D" description="насос"/>
    <item id="DOOR" idx="3" reg="0" direction="Input" type="D" description="дверь"/>
  </device>
  <device name="ICP7045D" transport="dcon" addres="04" description="Выходы 16"/>
  <device name="ICP7052D" transport="dcon" addres="05" description="Счётчик">
    <item id="CNT" idx="0" reg="0" direction="IN" type="C" description="импульсы"/>
  </device>
  <device name="ICP7055D" transport="dcon" addres="06" description="Ввод-вывод"/>
  <device name="ICP7017" transport="dcon" addres="11" description="Аналоговые входы">
    <item id="U1" idx="0" reg="0" direction="IN" type="A" description="Напряжение, В" percision="4"/>
  </device>
  <device name="ICP7018" transport="dcon" addres="12" description="Термопары"/>
  <device name="ICP7033" transport="dcon" addres="13" description="Термосопротивления">
    <item id="T3" idx="2" reg="0" direction="IN" type="A" description="температура"/>
  </device>
  <device name="IVA8" transport="rtu" addres="1" description="Гигрометр">
    <item id="DEW" idx="0" reg="512" direction="IN" type="A" description="Точка росы, °C" percision="2"/>
  </device>
  <device name="RRG12" transport="pipe" addres="3" description="Расход">
    <item id="FLOW" idx="1" reg="5" direction="IN" type="A" description="Расход, л/ч" percision="2"/>
    <item id="SET" idx="0" reg="4" direction="OUT" type="A" description="Уставка" percision="2"/>
  </device>
  <variable name="Y0" type="A" description="Шкала" percision="0"/>
  <variable name="GAS" type="A" description="Газ, %" percision="3">GAS = U1 * K * 20</variable>
  <variable name="NAME" type="S" description="строка"><![CDATA[NAME = 1]]></variable>
  <expression name="SET">SET = 10 + GAS / 10</expression>
  <expression name="PROLOGUE">K = 1 + Y0 * 0,5</expression>
  <expression name="EPILOGUE">LAST = GAS</expression>
</configuration>
)";

struct CSpan {
    size_t start;
    size_t end;
};

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '-' || c == '.';
}

// Start, end and empty-element tags; declarations, comments and instructions are left out.
std::vector<CSpan> Tags(const std::string& text)
{
    std::vector<CSpan> tags;
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        size_t end = text.find('>', at);
        if (end == std::string::npos)
            break;
        if (at + 1 < text.size() && text[at + 1] != '?' && text[at + 1] != '!')
            tags.push_back({at, end + 1});
    }
    return tags;
}

// A start tag with its end tag and all between, or an empty-element tag.
CSpan Element(const std::string& text, CSpan tag)
{
    if (text[tag.end - 2] == '/' || text[tag.start + 1] == '/')
        return tag;
    size_t nameEnd = tag.start + 1;
    while (nameEnd < tag.end && IsNameChar(text[nameEnd]))
        ++nameEnd;
    size_t close = text.find("</" + text.substr(tag.start + 1, nameEnd - tag.start - 1) + ">", tag.end);
    return close == std::string::npos ? tag : CSpan{tag.start, text.find('>', close) + 1};
}

// The name="value" pairs of a tag: each pair's whole span and its value's span.
void Attributes(const std::string& text, CSpan tag, std::vector<CSpan>& pairs, std::vector<CSpan>& values)
{
    for (size_t eq = text.find("=\"", tag.start); eq != std::string::npos && eq < tag.end;
         eq = text.find("=\"", eq + 1)) {
        size_t name = eq;
        while (name > tag.start && IsNameChar(text[name - 1]))
            --name;
        size_t close = text.find('"', eq + 2);
        if (close == std::string::npos || close >= tag.end || name == eq)
            continue;
        pairs.push_back({name, close + 1});
        values.push_back({eq + 2, close});
    }
}

std::string Transcoded(const std::string& utf8, UINT codePage)
{
    return WideToAnsi(AnsiToWide(utf8, CP_UTF8), codePage);
}

std::string Utf16(const std::string& utf8, bool bigEndian)
{
    std::wstring wide = AnsiToWide(utf8, CP_UTF8);
    std::string bytes;
    for (wchar_t c : wide) {
        char low = char(c & 0xFF), high = char(c >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Makes one bad file from a seed: a few structural mutations, then perhaps a document type
// declaration, then perhaps another encoding.
class CConfigMutator {
public:
    // The secret file is named as a document next to the file would name it, and by its full path.
    CConfigMutator(std::mt19937& rng, const std::string& secretName, const std::string& secretPath)
        : m_rng(rng), m_secretName(secretName), m_secretPath(secretPath) {}

    std::string Make(std::string text, bool& doctype)
    {
        for (int n = 1 + Uniform(3); n > 0; --n)
            Mutate(text);
        doctype = Uniform(12) == 0;
        if (doctype)
            AddDoctype(text);
        if (Uniform(10) == 0)
            Reencode(text);
        return text;
    }

private:
    int Uniform(int n) { return n <= 0 ? 0 : int(m_rng() % unsigned(n)); }
    size_t Position(const std::string& text) { return size_t(Uniform(int(text.size()) + 1)); }

    void Mutate(std::string& text)
    {
        std::vector<CSpan> tags = Tags(text);
        if (tags.empty() || text.size() > 4000000)
            return Flip(text);
        CSpan tag = tags[size_t(Uniform(int(tags.size())))];
        switch (Uniform(11)) {
        case 0: return Flip(text);
        case 1: return Cut(text);
        case 2: return Swap(text, Element(text, tag), Element(text, tags[size_t(Uniform(int(tags.size())))]));
        case 3: return Repeat(text, Element(text, tag));
        case 4: return ChangeAttributes(text, tag);
        case 5: return SetValue(text, tag, Number());
        case 6: return Nest(text, Element(text, tag));
        case 7: return Insert(text, Junk());
        case 8: return SetValue(text, tag, std::string(size_t(100 + Uniform(3000)), Uniform(2) ? 'x' : '7'));
        case 9: return ManyAttributes(text, tag);
        default: return Declare(text);
        }
    }

    void Flip(std::string& text)
    {
        for (int n = 1 + Uniform(8); n > 0 && !text.empty(); --n) {
            char& c = text[Position(text) % text.size()];
            c = Uniform(2) ? char(c ^ (1 << Uniform(8))) : char(m_rng());
        }
    }

    void Cut(std::string& text)
    {
        size_t at = Position(text);
        if (Uniform(2))
            text.resize(at);
        else
            text.erase(at, size_t(Uniform(200)));
    }

    void Swap(std::string& text, CSpan a, CSpan b)
    {
        if (a.start > b.start)
            std::swap(a, b);
        if (a.end > b.start)
            return;
        text = text.substr(0, a.start) + text.substr(b.start, b.end - b.start) + text.substr(a.end, b.start - a.end) +
               text.substr(a.start, a.end - a.start) + text.substr(b.end);
    }

    // Up to 40 copies, or now and then hundreds of a small element.
    void Repeat(std::string& text, CSpan element)
    {
        size_t length = element.end - element.start;
        // Hundreds of ports are left out: each is a thread, and the load then takes seconds.
        bool small = length < 200 && text.compare(element.start, 5, "<port") != 0;
        int copies = Uniform(30) == 0 && small ? 500 : 1 + Uniform(40);
        copies = std::min(copies, 1 + int(1000000 / std::max<size_t>(length, 1)));
        std::string block = text.substr(element.start, length);
        std::string repeated;
        for (int i = 0; i < copies; ++i)
            repeated += block;
        text.insert(element.end, repeated);
    }

    // Swaps, repeats or drops an attribute, or moves a value to another attribute.
    void ChangeAttributes(std::string& text, CSpan tag)
    {
        std::vector<CSpan> pairs, values;
        Attributes(text, tag, pairs, values);
        if (pairs.empty())
            return Insert(text, " period=\"-5\"");
        size_t a = size_t(Uniform(int(pairs.size()))), b = size_t(Uniform(int(pairs.size())));
        switch (Uniform(4)) {
        case 0: return Swap(text, pairs[a], pairs[b]);
        case 1: text.insert(pairs[a].end, " " + text.substr(pairs[a].start, pairs[a].end - pairs[a].start)); return;
        case 2: text.erase(pairs[a].start, pairs[a].end - pairs[a].start); return;
        default: {
            std::string moved = text.substr(values[b].start, values[b].end - values[b].start);
            text.replace(values[a].start, values[a].end - values[a].start, moved);
        }
        }
    }

    void SetValue(std::string& text, CSpan tag, const std::string& value)
    {
        std::vector<CSpan> pairs, values;
        Attributes(text, tag, pairs, values);
        if (values.empty())
            return Insert(text, value);
        CSpan v = values[size_t(Uniform(int(values.size())))];
        text.replace(v.start, v.end - v.start, value);
    }

    std::string Number()
    {
        static const char* const numbers[] = {
            "-1", "0", "-0", "65535", "65536", "4294967296", "2147483647", "2147483648", "-2147483648",
            "-2147483649", "99999999999999999999999999", "1e308", "0x10", " 7", "7 ", "+5", "", "NaN", "1,5",
            "\xD9\xA1\xD9\xA2", "\xEF\xBC\x99", "-99999", "32", "33", "100", "999999"};
        return numbers[Uniform(int(sizeof numbers / sizeof numbers[0]))];
    }

    void Nest(std::string& text, CSpan element)
    {
        static const int depths[] = {2, 50, 255, 300, 3000};
        static const char* const names[] = {"n", "device", "item", "configuration", "port"};
        std::string name = names[Uniform(5)];
        int depth = depths[Uniform(5)];
        if (name == "port")
            depth = std::min(depth, 50);  // each closing tag makes a port again: no hundreds of them
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<" + name + ">";
            close += "</" + name + ">";
        }
        if (Uniform(4) == 0)
            close.clear();
        text.insert(element.end, close);
        text.insert(element.start, open);
    }

    std::string Junk()
    {
        static const char* const pieces[] = {
            "&#0;", "&#xFFFE;", "&#x10FFFF;", "&#xD800;", "&unknown;", "&amp;", "&lt;", "<![CDATA[x]]>", "]]>",
            "<!-- c -->", "<?pi x?>", "<", ">", "&", "\"", "'", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
            "\xFF", "\x01", "xmlns:x=\"urn:x\"", "<x:port/>", "\r\n", "\t"};
        if (Uniform(5) == 0) {
            std::string bytes(size_t(1 + Uniform(16)), '\0');
            for (char& c : bytes)
                c = char(m_rng());
            return bytes;
        }
        return pieces[Uniform(int(sizeof pieces / sizeof pieces[0]))];
    }

    void Insert(std::string& text, const std::string& piece) { text.insert(Position(text), piece); }

    void ManyAttributes(std::string& text, CSpan tag)
    {
        std::string attributes;
        for (int i = 0, n = 100 + Uniform(900); i < n; ++i)
            attributes += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
        text.insert(tag.start + 1 + size_t(Uniform(int(tag.end - tag.start - 2))), attributes);
    }

    // Another encoding named in the declaration, or none, or a second declaration.
    void Declare(std::string& text)
    {
        static const char* const encodings[] = {"utf-16", "UTF-16LE", "windows-1251", "koi8-r", "ISO-8859-1",
                                                "us-ascii", "bogus", "", "utf-32", "ucs-2", "UTF-7"};
        std::string declaration =
            std::string("<?xml version=\"1.0\" encoding=\"") + encodings[Uniform(11)] + "\"?>";
        size_t end = text.compare(0, 5, "<?xml") == 0 ? text.find("?>") : std::string::npos;
        if (Uniform(5) == 0)
            Insert(text, declaration);
        else if (end != std::string::npos)
            text.replace(0, end + 2, Uniform(4) ? declaration : "");
        else
            text.insert(0, declaration);
    }

    void AddDoctype(std::string& text)
    {
        std::string url = m_secretName;
        if (Uniform(2)) {
            url = "file:///" + m_secretPath;
            std::replace(url.begin(), url.end(), '\\', '/');
        }
        std::string laughs = "<!ENTITY l0 \"lol\">";
        for (int i = 1; i < 10; ++i) {
            laughs += "<!ENTITY l" + std::to_string(i) + " \"";
            for (int k = 0; k < 10; ++k)
                laughs += "&l" + std::to_string(i - 1) + ";";
            laughs += "\">";
        }
        std::string use;
        std::string doctype;
        switch (Uniform(6)) {
        case 0: doctype = "<!DOCTYPE configuration>"; break;
        case 1: doctype = "<!DOCTYPE configuration [<!ENTITY e \"entity text\">]>"; use = "&e;"; break;
        case 2: doctype = "<!DOCTYPE configuration [" + laughs + "]>"; use = "&l9;"; break;
        case 3: doctype = "<!DOCTYPE configuration [<!ENTITY s SYSTEM \"" + url + "\">]>"; use = "&s;"; break;
        case 4: doctype = "<!DOCTYPE configuration SYSTEM \"" + url + "\">"; break;
        default: doctype = "<!DOCTYPE configuration [<!ENTITY % p SYSTEM \"" + url + "\"> %p;]>"; break;
        }
        if (!use.empty()) {
            std::vector<CSpan> tags = Tags(text);
            if (!tags.empty())
                SetValue(text, tags[size_t(Uniform(int(tags.size())))], use);
        }
        size_t end = text.compare(0, 5, "<?xml") == 0 ? text.find("?>") : std::string::npos;
        text.insert(end == std::string::npos ? 0 : end + 2, "\n" + doctype + "\n");
    }

    void Reencode(std::string& text)
    {
        static const char* const boms[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\x00\x00\xFE\xFF", "\x2B\x2F\x76\x38"};
        switch (Uniform(4)) {
        case 0: text = Transcoded(text, 1251); break;
        case 1: text = (Uniform(2) ? "\xFF\xFE" : "") + Utf16(text, false); break;
        case 2: text = (Uniform(2) ? "\xFE\xFF" : "") + Utf16(text, true); break;
        default: {
            int i = Uniform(5);
            text.insert(0, std::string(boms[i], i == 3 ? 4 : std::char_traits<char>::length(boms[i])));
        }
        }
    }

    std::mt19937& m_rng;
    std::string m_secretName;
    std::string m_secretPath;
};

bool SaveBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return fclose(out) == 0 && written;
}

bool HoldsSecret(const std::wstring& text) { return text.find(AnsiToWide(kSecret)) != std::wstring::npos; }

// What the engine relies on in everything a loaded file built; empty when it all holds.
std::string EngineFault(const CController& engine)
{
    if (engine.Workers().size() != engine.Transports().size())
        return "not one worker per port";
    std::set<const CTransport*> ports;
    for (const auto& transport : engine.Transports())
        ports.insert(transport.get());
    for (const auto& device : engine.Devices()) {
        if (!ports.count(device->transport))
            return "a device without a port of the file";
        if (HoldsSecret(device->description))
            return "a description read from an outside file";
    }
    std::set<const CValue*> values;
    for (const auto& variable : engine.Variables()) {
        if (!variable->value)
            return "a variable without a value";
        if (variable->device) {
            const std::vector<CValue>& channels = variable->output ? variable->device->outputs : variable->device->inputs;
            if (variable->channel >= channels.size() || variable->value != &channels[variable->channel])
                return "an item bound outside its device";
        }
        if (HoldsSecret(variable->formula) || HoldsSecret(variable->description))
            return "a text read from an outside file";
        values.insert(variable->value);
    }
    for (const auto& variable : engine.Variables())
        if (!values.count(engine.FindValue(variable->name)))
            return "a name bound to no variable's value";
    for (const auto& lines : {engine.Prologue(), engine.Epilogue()})
        for (const std::wstring& line : lines)
            if (HoldsSecret(line))
                return "a script read from an outside file";
    return {};
}

// A refusal quotes the value as the file writes it. Checked where that is plain to see: a UTF-8
// file without references or zero bytes (UTF-16 without a byte-order mark passes as UTF-8), its
// line ends and tabs read as the reader normalises them.
bool QuotesTheFile(const std::string& bytes, const std::wstring& message)
{
    size_t open = message.find(L" = \"");
    size_t close = message.rfind(L"\":");
    if (open == std::wstring::npos || close == std::wstring::npos || close < open + 4 ||
        bytes.find_first_of(std::string("&\0", 2)) != std::string::npos ||
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0) == 0)
        return true;
    std::wstring text = AnsiToWide(bytes, CP_UTF8);
    for (size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;)
        text.replace(at, 2, L" ");
    std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\t'; }, L' ');
    return text.find(message.substr(open + 4, close - open - 4)) != std::wstring::npos;
}

struct CTally {
    long loaded = 0;
    long refused = 0;
    long doctypes = 0;
    long doctypesRefused = 0;
    long notXml = 0;
    double slowestMs = 0;
};

// Loads one file as orvex does; empty when the outcome is one that is allowed.
std::string Load(const std::wstring& path, const std::string& bytes, bool doctype, CTally& tally)
{
    CStopwatch clock;
    auto loader = std::make_unique<CSAXConfig>();
    HRESULT hr = loader->Parse(path.c_str());
    std::wstring message = loader->ErrorText();
    CController engine;
    if (hr == S_OK)
        loader->Build(engine);
    loader.reset();
    double ms = clock.Milliseconds();
    tally.slowestMs = std::max(tally.slowestMs, ms);
    if (ms > kLoadLimitMs)
        return "loading took " + std::to_string(int(ms)) + " ms";
    if (hr == S_OK) {
        ++tally.loaded;
        return doctype ? "a file with a document type declaration loaded" : EngineFault(engine);
    }
    if (!FAILED(hr))
        return "Parse returned a success code other than S_OK";
    if ((hr == CSAXConfig::kRefused) != !message.empty())
        return "a refusal without its message, or a message without the refusal";
    if (!QuotesTheFile(bytes, message))
        return "the refusal quotes a value the file does not hold: " + WideToAnsi(message, CP_UTF8);
    tally.refused += !message.empty();
    tally.notXml += message.empty();
    tally.doctypesRefused += message.find(L"DOCTYPE") != std::wstring::npos;
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    _wsetlocale(LC_ALL, L".1251");
    setlocale(LC_ALL, ".1251");
    CComApartment apartment;
    CFuzzRun run(argc, argv, 2000, 20261209, 20000);

    std::string pid = std::to_string(::GetCurrentProcessId());
    std::vector<std::string> seeds;
    seeds.push_back(kEveryDevice);
    for (const std::string& file : run.Files())
        seeds.push_back(ReadFileBytes(AnsiToWide(file)));
    std::wstring path = AnsiToWide("config-fuzz-" + pid + ".xml");
    std::string secret = "config-fuzz-secret.txt";
    SaveBytes(AnsiToWide(secret), kSecret);
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(AnsiToWide(secret).c_str(), MAX_PATH, full, nullptr);
    std::string secretPath = WideToAnsi(full);

    CTally tally;
    for (long i = run.First(); i < run.End(); ++i) {
        std::mt19937 rng = run.Generator(i);
        CConfigMutator mutator(rng, secret, secretPath);
        bool doctype = false;
        std::string file = mutator.Make(seeds[rng() % seeds.size()], doctype);
        tally.doctypes += doctype;
        if (!SaveBytes(path, file)) {
            run.Fail(i, "cannot write the file");
            break;
        }
        run.Working(i);
        std::string fault = Load(path, file, doctype, tally);
        run.Working(-1);
        if (!fault.empty()) {
            std::string kept = "config-fuzz-failed-" + std::to_string(i) + ".xml";
            SaveBytes(AnsiToWide(kept), file);
            run.Fail(i, fault + " (file kept as " + kept + ")");
        }
    }
    ::DeleteFileW(path.c_str());
    ::DeleteFileW(AnsiToWide(secret).c_str());
    char figures[256];
    std::snprintf(figures, sizeof figures,
                  "configuration files: %ld loaded, %ld refused by the loader (%ld of %ld document type "
                  "declarations), %ld refused by the reader, slowest %.0f ms",
                  tally.loaded, tally.refused, tally.doctypesRefused, tally.doctypes, tally.notXml, tally.slowestMs);
    return run.Finish(figures);
}
