#include "ModuleConfig.h"
#include "DconBaud.h"
#include <cstdio>

namespace {
struct TypeName {
    unsigned code;
    const wchar_t* words;
};

// The input types of the ICP CON 7000 analog modules, and 40 for the digital ones.
const TypeName kTypes[] = {
    {0x00, L"+/-15mV"},          {0x01, L"+/-50mV"},          {0x02, L"+/-100mV"},
    {0x03, L"+/-500mV"},         {0x04, L"+/-1V"},            {0x05, L"+/-2.5V"},
    {0x06, L"+/-20mA"},          {0x07, L"4..20mA"},          {0x08, L"+/-10V"},
    {0x09, L"+/-5V"},            {0x0A, L"+/-1V"},            {0x0B, L"+/-500mV"},
    {0x0C, L"+/-150mV"},         {0x0D, L"+/-20mA"},          {0x0E, L"thermocouple J"},
    {0x0F, L"thermocouple K"},   {0x10, L"thermocouple T"},   {0x11, L"thermocouple E"},
    {0x12, L"thermocouple R"},   {0x13, L"thermocouple S"},   {0x14, L"thermocouple B"},
    {0x15, L"thermocouple N"},   {0x16, L"thermocouple C"},   {0x17, L"thermocouple L"},
    {0x18, L"thermocouple M"},   {0x20, L"Pt100 -100..100C"}, {0x21, L"Pt100 0..100C"},
    {0x22, L"Pt100 0..200C"},    {0x23, L"Pt100 0..600C"},    {0x24, L"Pt100 JIS -100..100C"},
    {0x25, L"Pt100 JIS 0..100C"}, {0x26, L"Pt100 JIS 0..200C"}, {0x27, L"Pt100 JIS 0..600C"},
    {0x28, L"Ni120 -80..100C"},  {0x29, L"Ni120 0..100C"},    {0x40, L"digital I/O"},
};
const unsigned kDigitalType = 0x40;
const unsigned kChecksumBit = 0x40;

// The low two bits of an analog module's data format.
const wchar_t* const kDataFormats[] = {L"engineering units", L"% of full scale", L"two's complement hex",
                                       L"ohms"};

bool ReadHexPair(const std::wstring& text, size_t at, unsigned& value)
{
    if (at + 2 > text.size())
        return false;
    for (size_t i = at; i < at + 2; ++i)
        if (!iswxdigit(text[i]))
            return false;
    value = unsigned(std::wcstoul(text.substr(at, 2).c_str(), nullptr, 16));
    return true;
}

std::wstring Code(const wchar_t* label, unsigned code, const std::wstring& words)
{
    wchar_t text[32];
    _snwprintf(text, 32, L"%ls %02X ", label, code);
    text[31] = 0;
    return text + words;
}

std::wstring TypeWords(unsigned type)
{
    for (const TypeName& name : kTypes)
        if (name.code == type)
            return name.words;
    return L"unknown";
}

std::wstring SpeedWords(unsigned code)
{
    unsigned baud = DconBaudOfCode(code);
    return baud ? std::to_wstring(baud) + L" baud" : L"unknown";
}

std::wstring FormatWords(unsigned format, unsigned type)
{
    std::wstring words = format & kChecksumBit ? L"checksum on" : L"checksum off";
    if (type != kDigitalType)
        words += std::wstring(L", ") + kDataFormats[format & 3];
    return words;
}
}  // namespace

bool ParseModuleConfig(const std::wstring& reply, const std::wstring& address, ModuleConfig& config)
{
    return reply.size() == 9 && reply[0] == L'!' && reply.compare(1, 2, address) == 0 &&
           ReadHexPair(reply, 3, config.type) && ReadHexPair(reply, 5, config.speedCode) &&
           ReadHexPair(reply, 7, config.format);
}

std::wstring DescribeModuleConfig(const ModuleConfig& config)
{
    return Code(L"type", config.type, TypeWords(config.type)) + L", " +
           Code(L"speed", config.speedCode, SpeedWords(config.speedCode)) + L", " +
           Code(L"format", config.format, FormatWords(config.format, config.type));
}
