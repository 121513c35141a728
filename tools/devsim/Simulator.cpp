#include "Simulator.h"
#include "Crc16.h"
#include "DconFraming.h"
#include "TextConv.h"
#include <algorithm>
#include <cstdio>

namespace {
std::string Hex2(unsigned value)
{
    char text[8];
    _snprintf(text, sizeof text, "%02X", value & 0xFF);
    text[sizeof text - 1] = 0;
    return text;
}

std::string WithCrc(std::vector<uint8_t> frame, bool spoil)
{
    uint16_t crc = CRC16(frame.data(), uint16_t(frame.size()));
    if (spoil)
        crc ^= 0x5A5A;
    frame.push_back(uint8_t(crc & 0xFF));
    frame.push_back(uint8_t(crc >> 8));
    return std::string(frame.begin(), frame.end());
}

const char kGarbage[] = "\x7F\xFE#%\x01garbage\x80";
}  // namespace

CSimulator::CSimulator(const SimSegmentConfig& config) : m_config(config)
{
    for (const SimDeviceConfig& device : config.devices)
        m_devices.emplace_back(device);
}

CSimDevice* CSimulator::Find(const std::wstring& address)
{
    for (CSimDevice& device : m_devices)
        if (_wcsicmp(device.Address().c_str(), address.c_str()) == 0)
            return &device;
    return nullptr;
}

std::string CSimulator::FrameDcon(const std::string& text, bool lrc)
{
    return lrc ? text + Hex2(DconChecksum(text)) + "\r" : text + "\r";
}

// A fault asked for with --fault first, while it lasts; else one at random when asked for.
SimFault CSimulator::TakeFault(CSimDevice& device, bool modbus)
{
    SimFault& asked = device.fault;
    if (asked.kind != SimFault::None && asked.count != 0) {
        if (asked.count > 0)
            --asked.count;
        return asked;
    }
    SimFault fault;
    if (m_faultShare <= 0.0 || std::uniform_real_distribution<double>(0.0, 1.0)(m_random) >= m_faultShare)
        return fault;
    // A wrong checksum needs a checksum: DCON without it has four kinds.
    const SimFault::Kind kinds[] = {SimFault::Silent, SimFault::Late, SimFault::Garbage, SimFault::Exception,
                                    SimFault::BadSum};
    size_t count = modbus || device.Lrc() ? 5 : 4;
    fault.kind = kinds[m_random() % count];
    fault.ms = m_lateMs;
    return fault;
}

CSimulator::Answer CSimulator::Faulted(CSimDevice& device, std::string reply, bool modbus,
                                       const std::vector<uint8_t>& request)
{
    Answer answer;
    SimFault fault = TakeFault(device, modbus);
    SimFault::Kind kind = fault.kind;
    answer.fault = fault.Name(modbus);
    switch (kind) {
    case SimFault::Silent: return answer;
    case SimFault::Garbage: answer.bytes.assign(kGarbage, sizeof kGarbage - 1); return answer;
    case SimFault::Late: answer.delayMs = fault.ms; break;
    case SimFault::Split: answer.splitMs = fault.ms; break;
    case SimFault::Cut: reply.resize(reply.size() - std::min(reply.size(), size_t(fault.bytes))); break;
    case SimFault::Exception:
        if (modbus && request.size() >= 2)
            reply = WithCrc({request[0], uint8_t(request[1] | 0x80), 0x02}, false);
        else if (!modbus)
            reply = FrameDcon("?" + WideToAnsi(device.Address()), device.Lrc());
        break;
    case SimFault::BadSum:
        if (modbus && reply.size() >= 2)
            reply.back() = char(reply.back() ^ 0x5A);
        else if (device.Lrc() && reply.size() >= 3)
            reply.replace(reply.size() - 3, 2, Hex2(DconChecksum(reply.substr(0, reply.size() - 3)) + 1));
        break;
    default: break;
    }
    answer.bytes = reply;
    return answer;
}

// The command a device takes the line for: with its checksum on, the line must carry a good one
// (a pipe may bring the bare command instead); a module ignores a line with a wrong checksum.
bool CSimulator::CommandFor(const CSimDevice& device, const std::string& text, bool strict, std::string& command)
{
    command = text;
    if (!device.Lrc() || text.size() < 2)
        return !device.Lrc() || !strict;
    std::string bare = text.substr(0, text.size() - 2);
    if (text.substr(text.size() - 2) == Hex2(DconChecksum(bare)))
        command = bare;
    else if (strict)
        return false;
    return true;
}

CSimulator::Answer CSimulator::HandleDcon(const std::string& line, bool strict, unsigned lineBaud)
{
    if (strict && (line.empty() || line.back() != '\r'))
        return {};
    std::string text = line;
    while (!text.empty() && (text.back() == '\0' || text.back() == '\r'))
        text.pop_back();
    for (CSimDevice& device : m_devices) {
        std::string command;
        if (device.IsModbus() || !device.Hears(lineBaud) || !CommandFor(device, text, strict, command) ||
            command.size() < 3 || _wcsicmp(AnsiToWide(command.substr(1, 2)).c_str(), device.Address().c_str()) != 0)
            continue;
        std::string reply = Vary(&device)->AnswerDcon(command, Seconds());
        if (reply.empty())
            return {};
        return Faulted(device, FrameDcon(reply, device.Lrc()), false, {});
    }
    return {};
}

CSimDevice* CSimulator::Vary(CSimDevice* device)
{
    if (m_randomValues)
        device->Vary(m_random);
    return device;
}

CSimulator::Answer CSimulator::HandleModbus(const std::string& frame, unsigned lineBaud)
{
    if (frame.size() < 4 || !HasGoodCrc(frame))
        return {};
    std::vector<uint8_t> request(frame.begin(), frame.end() - 2);
    bool broadcast = request[0] == 0 && request[1] == 0x08;
    for (CSimDevice& device : m_devices) {
        if (!device.IsModbus() || !device.Hears(lineBaud) || !(broadcast || device.Accepts(request)))
            continue;
        return Faulted(device, WithCrc(Vary(&device)->AnswerModbus(request, Seconds()), false), true, request);
    }
    return {};
}

CSimulator::Answer CSimulator::HandleMessage(const std::string& message)
{
    if (message.size() >= 4 && HasGoodCrc(message))
        return HandleModbus(message, 0);
    return HandleDcon(message, false, 0);
}

bool CSimulator::HasGoodCrc(const std::string& frame)
{
    if (frame.size() < 3)
        return false;
    auto bytes = reinterpret_cast<const uint8_t*>(frame.data());
    uint16_t crc = CRC16(bytes, uint16_t(frame.size() - 2));
    return bytes[frame.size() - 2] == (crc & 0xFF) && bytes[frame.size() - 1] == (crc >> 8);
}

size_t CSimulator::ModbusRequestLength(const std::string& received)
{
    if (received.size() < 2)
        return 0;
    size_t length = 0;
    switch (uint8_t(received[1])) {
    case 0x03:
    case 0x06:
    case 0x08: length = 8; break;
    case 0x19: length = 6; break;
    default: return 0;
    }
    return received.size() >= length ? length : 0;
}
