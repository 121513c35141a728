#include "SimDevice.h"
#include "DconBaud.h"
#include "TextConv.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct KindEntry {
    const wchar_t* keyword;
    CSimDevice::Kind kind;
    int inputs, outputs;
    const char* range;  // the analog input type a module of the kind is delivered with
};

const KindEntry kKinds[] = {
    {L"ICP7041D", CSimDevice::DigitalIn, 16, 0, ""},   {L"ICP7042D", CSimDevice::DigitalOut, 0, 13, ""},
    {L"ICP7044D", CSimDevice::DigitalInOut, 4, 8, ""}, {L"ICP7045D", CSimDevice::DigitalOut, 0, 16, ""},
    {L"ICP7052D", CSimDevice::Counter, 8, 0, ""},      {L"ICP7055D", CSimDevice::DigitalInOut, 8, 8, ""},
    {L"ICP7017", CSimDevice::Analog, 8, 0, "08"},      {L"ICP7018", CSimDevice::Analog, 8, 0, "05"},
    {L"ICP7033", CSimDevice::Analog, 3, 0, "20"},      {L"IVA8", CSimDevice::Iva8, 1, 0, ""},
    {L"RRG12", CSimDevice::Rrg12, 2, 1, ""},
};

std::string Format(const char* format, unsigned value)
{
    char text[32];
    _snprintf(text, sizeof text, format, value);
    text[sizeof text - 1] = 0;
    return text;
}

bool IsHex(const std::string& s)
{
    return !s.empty() && s.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

std::vector<float> SplitNumbers(const std::string& text)
{
    std::vector<float> numbers;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(':', start);
        numbers.push_back(float(std::atof(text.substr(start, end - start).c_str())));
        if (end == std::string::npos)
            return numbers;
        start = end + 1;
    }
}
}  // namespace

std::string SimFault::Name(bool modbus) const
{
    switch (kind) {
    case Silent: return "silent";
    case BadSum: return modbus ? "badcrc" : "badsum";
    case Late: return "late:" + std::to_string(ms);
    case Garbage: return "garbage";
    case Exception: return "exception";
    case Cut: return "cut:" + std::to_string(bytes);
    case Split: return "split:" + std::to_string(ms);
    default: return "";
    }
}

CSimDevice::CSimDevice(const SimDeviceConfig& config)
    : m_keyword(config.keyword), m_address(config.address), m_addressText(WideToAnsi(config.address)),
      m_baud(config.baud), m_lrc(config.lrc)
{
    for (const KindEntry& entry : kKinds)
        if (config.keyword == entry.keyword) {
            m_known = true;
            m_kind = entry.kind;
            m_inputs = entry.inputs;
            m_outputs = entry.outputs;
            m_range = entry.range;
        }
    m_registers[4] = 1000;
    m_registers[5] = 100;
}

std::string CSimDevice::Ok() const { return "!" + m_addressText; }

// The configuration as "$AA2" gives it: input type (the range of an analog module, 40 for a
// digital one), speed code and data format (bit 6: checksum; 00 for readings in engineering units).
std::string CSimDevice::Configuration() const
{
    int speed = DconBaudCode(m_baud);
    return (m_kind == Analog ? m_range : std::string("40")) + Format("%02X", speed < 0 ? 6u : unsigned(speed)) +
           (m_lrc ? "40" : "00");
}

double CSimDevice::Swing(int channel, double seconds)
{
    auto wave = m_waves.find(channel);
    return wave == m_waves.end() ? 0.0 : wave->second.At(seconds, double(channel), m_noise);
}

uint32_t CSimDevice::FlippedInputs(double seconds) const
{
    uint32_t flipped = 0;
    for (const auto& wave : m_waves)
        if (wave.second.High(seconds, double(wave.first)))
            flipped |= 1u << wave.first;
    return flipped;
}

std::string CSimDevice::DigitalStatus(double seconds) const
{
    uint32_t inputs = m_inputStatus ^ FlippedInputs(seconds);
    switch (m_kind) {
    case DigitalIn: return ">" + Format("%04X", inputs & 0xFFFF);
    case DigitalOut: return ">" + Format("%04X", m_outputStatus & 0xFFFF);
    default: return ">" + Format("%02X", m_outputStatus & 0xFF) + Format("%02X", inputs & 0xFF);
    }
}

// Slowly changing inputs, so a plotted channel moves: ±5 V around 0, thermocouples around 25,
// unless a value is set; a wave swings around the set value (or 0 and 25).
float CSimDevice::AnalogValue(size_t i, double seconds)
{
    double base = m_inputs == 3 ? 25.0 : 0.0;
    if (!m_analog.empty())
        base = i < m_analog.size() ? m_analog[i] : 0.0;
    if (m_waves.count(int(i)))
        return float(base + Swing(int(i), seconds));
    if (!m_analog.empty())
        return float(base);
    return float(base + 5.0 * std::sin(2.0 * 3.14159265358979 * seconds / 60.0 + double(i)));
}

// A reading register of the RRG-12 (4 and 5 are its inputs 0 and 1) as it reads now.
uint16_t CSimDevice::Register(unsigned reg, double seconds)
{
    if (reg != 4 && reg != 5)
        return m_registers[reg];
    double value = double(m_registers[reg]) + 100.0 * Swing(int(reg - 4), seconds);
    return uint16_t(std::lround(std::min(65535.0, std::max(0.0, value))));
}

std::string CSimDevice::AnalogFields(const std::string& channel, double seconds)
{
    std::string reply = ">";
    for (int i = 0; i < m_inputs; ++i) {
        if (!channel.empty() && std::strtol(channel.c_str(), nullptr, 16) != i)
            continue;
        char field[32];
        _snprintf(field, sizeof field, "%+07.3f", double(AnalogValue(size_t(i), seconds)));
        field[sizeof field - 1] = 0;
        reply += std::string(field).substr(0, 7);
    }
    return reply;
}

std::string CSimDevice::AnswerDcon(const std::string& command, double seconds)
{
    if (command.size() < 3 || IsModbus())
        return "";
    char lead = command[0];
    std::string body = command.substr(3);
    std::string refused = "?" + m_addressText;
    if (lead == '$' && body == "M")
        return Ok() + WideToAnsi(m_keyword.substr(3));
    if (lead == '~' && body == "1")
        return Ok();
    if (lead == '$' && m_kind == Counter && body.size() == 2 && body[0] == 'C' && IsHex(body.substr(1)))
        return Ok();
    if (lead == '@' && body.empty() && m_kind != Counter && m_kind != Analog)
        return DigitalStatus(seconds);
    if (lead == '@' && (m_kind == DigitalOut || m_kind == DigitalInOut) && IsHex(body) &&
        body.size() == (m_outputs > 8 ? 4u : 2u)) {
        m_outputStatus = uint32_t(std::strtoul(body.c_str(), nullptr, 16)) & ((1u << m_outputs) - 1);
        return ">";
    }
    if (lead == '#' && m_kind == Counter && body.size() == 1 && IsHex(body)) {
        unsigned pulses = m_counterFixed ? m_counter : unsigned(seconds * 10.0);
        return Ok() + Format("%05u", body == "0" ? pulses : 0u);
    }
    if (lead == '#' && m_kind == Analog && body.size() <= 1 && (body.empty() || IsHex(body)))
        return AnalogFields(body, seconds);
    if (lead == '$' && body == "2")
        return Ok() + Configuration();
    if (lead == '%' && m_kind == Analog && body.size() == 8 && body.substr(0, 2) == m_addressText) {
        m_range = body.substr(2, 2);
        return Ok();
    }
    return refused;
}

bool CSimDevice::Accepts(const std::vector<uint8_t>& frame) const
{
    if (frame.size() < 2)
        return false;
    if (m_kind == Iva8)
        return frame[0] == 1 && frame[1] == 0x19;
    return m_kind == Rrg12 && frame[0] == uint8_t(_wtoi(m_address.c_str())) && frame[1] != 0x19;
}

std::vector<uint8_t> CSimDevice::AnswerModbus(const std::vector<uint8_t>& frame, double seconds)
{
    if (frame.size() >= 2 && frame[1] == 0x08)
        return frame;  // diagnostics: the echo
    if (frame.size() >= 4 && frame[1] == 0x19) {
        int reading = int16_t(uint16_t(m_iva[0] << 8 | m_iva[1])) + int(std::lround(100.0 * Swing(0, seconds)));
        return {0x01, 0x19, 0x07, frame[2], frame[3], 0x00, 0x00, 0x00, uint8_t(reading >> 8), uint8_t(reading)};
    }
    if (frame.size() < 6)
        return {frame[0], uint8_t(frame[1] | 0x80), 0x03};
    unsigned reg = unsigned(frame[2] << 8 | frame[3]);
    unsigned value = unsigned(frame[4] << 8 | frame[5]);
    if (frame[1] == 6 && reg < 16) {
        m_registers[reg] = uint16_t(value);
        return frame;
    }
    if (frame[1] == 3 && value >= 1 && value <= 16 && reg + value <= 16) {
        std::vector<uint8_t> reply = {frame[0], 0x03, uint8_t(2 * value)};
        for (unsigned r = reg; r < reg + value; ++r) {
            uint16_t reading = Register(r, seconds);
            reply.push_back(uint8_t(reading >> 8));
            reply.push_back(uint8_t(reading & 0xFF));
        }
        return reply;
    }
    return {frame[0], uint8_t(frame[1] | 0x80), 0x02};
}

bool CSimDevice::Set(const std::string& value)
{
    switch (m_kind) {
    case DigitalIn:
    case DigitalInOut:
        if (!IsHex(value))
            return false;
        m_inputStatus = uint32_t(std::strtoul(value.c_str(), nullptr, 16));
        return true;
    case Counter:
        m_counterFixed = true;
        m_counter = unsigned(std::strtoul(value.c_str(), nullptr, 10));
        return true;
    case Analog:
        m_analog = SplitNumbers(value);
        return true;
    case Iva8: {
        unsigned raw = value.compare(0, 2, "0x") == 0 ? unsigned(std::strtoul(value.c_str() + 2, nullptr, 16))
                                                      : unsigned(int(std::lround(std::atof(value.c_str()) * 100.0)));
        m_iva[0] = uint8_t(raw >> 8);
        m_iva[1] = uint8_t(raw & 0xFF);
        return true;
    }
    case Rrg12: {
        std::vector<float> numbers = SplitNumbers(value);
        for (size_t i = 0; i < numbers.size() && i < 2; ++i)
            m_registers[4 + i] = uint16_t(std::lround(numbers[i] * 100.0f));
        return true;
    }
    default:
        return false;
    }
}

void CSimDevice::Vary(std::mt19937& random)
{
    m_inputStatus = uint32_t(random());
    m_counterFixed = true;
    m_counter = unsigned(random() % 100000);
    m_analog.resize(size_t(m_inputs));
    for (float& value : m_analog)
        value = float(int(random() % 19999) - 9999) / 1000.0f;
    m_iva[0] = uint8_t(random());
    m_iva[1] = uint8_t(random());
    m_registers[4] = uint16_t(random());
    m_registers[5] = uint16_t(random());
}

bool CSimDevice::SetWave(int channel, const SimWave& wave)
{
    bool waves = m_kind == Analog || m_kind == DigitalIn || m_kind == DigitalInOut || IsModbus();
    if (!waves || channel >= m_inputs)
        return false;
    if (channel >= 0)
        m_waves[channel] = wave;
    for (int i = 0; channel < 0 && i < m_inputs; ++i)
        m_waves[i] = wave;
    return true;
}
