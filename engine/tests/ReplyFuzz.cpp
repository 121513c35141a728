// Random and mutated DCON and Modbus replies through the reply decoders, the way the transports
// hand them over: the DCON text converted from the line's bytes and checked, then read by every
// reply reader; the Modbus record checked and decoded.
// - No read past the reply: each DCON reply is read where it ends right before an inaccessible
//   page, and each Modbus record is decoded twice, with zeros and with noise after its bytes,
//   which must not change any result (the record ends before the inaccessible page too).
// - Every tenth input also goes to a real device over a pipe segment, answered by a peer on the
//   pipe's other end: its values change only on a reply that passes its check, and a DCON read
//   succeeds exactly when it sets its values.
//   reply_fuzz [--count N] [--seed S] [--first I]
#include "Crc16.h"
#include "DconFraming.h"
#include "DconReplies.h"
#include "DeviceTable.h"
#include "FuzzRun.h"
#include "GuardedPage.h"
#include "ModbusFrame.h"
#include "ModbusRtu.h"
#include "Pipe.h"
#include "PipeResponder.h"
#include "TextConv.h"
#include <algorithm>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

constexpr long kDeviceEvery = 10;
const char kHex[] = "0123456789ABCDEF";

// Makes the replies: a valid one for the request, then mutated, or plain noise.
class CReplyMaker {
public:
    explicit CReplyMaker(std::mt19937& rng) : m_rng(rng) {}

    int Uniform(int n) { return n <= 0 ? 0 : int(m_rng() % unsigned(n)); }

    std::string Address() { return Uniform(3) ? "11" : std::string{kHex[Uniform(16)], kHex[Uniform(16)]}; }

    // A DCON reply to a command with this lead character ("@", "#", "$", "~") and body.
    std::string Dcon(char lead, const std::string& address, const std::string& body, bool checksum)
    {
        if (Uniform(10) == 0)
            return Noise(40);
        std::string text;
        switch (lead) {
        case '@': text = ">" + HexDigits(std::string("2467")[size_t(Uniform(4))] - '0'); break;
        case '#': text = body.empty() ? ">" + AnalogFields(Uniform(10)) : "!" + address + Decimal(); break;
        case '$': text = body == "2" ? "!" + address + HexDigits(6) : "!" + address + "7017"; break;
        default: text = "!" + address; break;
        }
        if (Uniform(12) == 0)
            text = "?" + address;
        if (Uniform(5))
            return Mutated(Framed(text, checksum), checksum);
        return Framed(text, checksum);
    }

    // A Modbus reply to the request (its CRC included).
    std::string Modbus(const CFrameRecord& request)
    {
        if (Uniform(10) == 0)
            return Noise(Uniform(8) ? 20 : 300);
        std::string frame;
        const uint8_t function = request.data[1];
        if (function == 0x19)
            frame = {1, 0x19, 7, char(request.data[2]), char(request.data[3]), 0, 0, 0, char(m_rng()), char(m_rng())};
        else if (function == 3)
            frame = {char(request.data[0]), 3, 4, char(m_rng()), char(m_rng()), char(m_rng()), char(m_rng())};
        else
            frame.assign(reinterpret_cast<const char*>(request.data), size_t(request.count - 2));
        if (Uniform(12) == 0)
            frame = {char(request.data[0]), char(function | 0x80), char(1 + Uniform(4))};
        if (Uniform(5)) {
            frame = WithCrc(frame);
            Mutate(frame);
            return Uniform(3) ? frame : WithCrc(frame);  // often a good CRC over garbled content
        }
        return WithCrc(frame);
    }

private:
    std::string Noise(int longest)
    {
        std::string bytes(size_t(Uniform(longest + 1)), '\0');
        for (char& c : bytes)
            c = char(m_rng());
        return bytes;
    }

    std::string HexDigits(int count)
    {
        std::string digits;
        for (int i = 0; i < count; ++i)
            digits += kHex[Uniform(16)];
        return digits;
    }

    std::string Decimal()
    {
        std::string digits = Uniform(5) ? "" : "-";
        for (int i = Uniform(12); i > 0; --i)
            digits += char('0' + Uniform(10));
        return digits;
    }

    std::string AnalogFields(int count)
    {
        std::string fields;
        char field[16];
        for (int i = 0; i < count; ++i) {
            std::snprintf(field, sizeof field, "%c%02d%c%03d", Uniform(2) ? '+' : '-', Uniform(100),
                          Uniform(4) ? '.' : ',', Uniform(1000));
            fields += field;
        }
        return fields;
    }

    static std::string Framed(const std::string& text, bool checksum)
    {
        char digits[4] = "";
        if (checksum)
            std::snprintf(digits, sizeof digits, "%02X", DconChecksum(text));
        return text + digits + "\r";
    }

    // Flips, cuts, insertions, a second line, a lower-case checksum, or a checksum made good again.
    std::string Mutated(std::string bytes, bool checksum)
    {
        Mutate(bytes);
        switch (Uniform(6)) {
        case 0: bytes += Dcon('@', "11", "", checksum); break;
        case 1: for (char& c : bytes) c = char(std::tolower(static_cast<unsigned char>(c))); break;
        case 2: {
            size_t body = bytes.find('\r');
            bytes = Framed(bytes.substr(0, body == std::string::npos ? bytes.size() : body), checksum);
            break;
        }
        default: break;
        }
        return bytes;
    }

    void Mutate(std::string& bytes)
    {
        static const char specials[] = "\r\n\0.,+-09afAF>!?\x80\xA8\xFF";
        for (int n = 1 + Uniform(3); n > 0; --n) {
            size_t at = size_t(Uniform(int(bytes.size()) + 1));
            char special = specials[Uniform(int(sizeof specials) - 1)];
            switch (Uniform(6)) {
            case 0: if (at < bytes.size()) bytes[at] = char(bytes[at] ^ (1 << Uniform(8))); break;
            case 1: if (at < bytes.size()) bytes[at] = char(m_rng()); break;
            case 2: bytes.erase(at, size_t(1 + Uniform(3))); break;
            case 3: bytes.insert(at, 1, special); break;
            case 4: bytes.resize(at); break;
            default: bytes.insert(at, Noise(12)); break;
            }
        }
    }

    static std::string WithCrc(const std::string& frame)
    {
        uint16_t crc = CRC16(reinterpret_cast<const uint8_t*>(frame.data()), uint16_t(frame.size()));
        return frame + char(crc & 0xFF) + char(crc >> 8);
    }

    std::mt19937& m_rng;
};

std::string Hex(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes)
        text += std::string{kHex[c >> 4], kHex[c & 15], ' '};
    return text;
}

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }

// Every reader over one reply placed before the inaccessible page; a fault in words, or nothing.
std::string ReadDcon(CGuardedPage& page, const std::wstring& reply, const std::wstring& address)
{
    std::wstring_view text(page.Place(reply.data(), reply.size()), reply.size());
    bool accepted = !text.empty() && (text[0] == L'>' || text[0] == L'!');
    uint32_t status = 0;
    if (ParseDigitalStatus(text, status) && (!accepted || status >= 1u << 28))
        return "a digital status read from a refusal or with more than 7 digits";
    int counter = 0;
    if (ParseCounter(text, counter) && !accepted)
        return "a counter read from a refusal";
    for (size_t inputs : {1u, 3u, 8u}) {
        std::vector<float> values;
        if (!ParseAnalog(text, inputs, values))
            continue;
        if (!accepted || values.size() != inputs)
            return "analog values read from a refusal, or not one per input";
        for (float value : values)
            if (!std::isfinite(value) || std::fabs(value) >= 1e7f)
                return "an analog value no 7-character field holds";
    }
    std::wstring codes;
    if (ParseConfiguration(text, address, codes) &&
        (text.substr(0, address.size() + 1) != L"!" + address || codes.size() != 4 ||
         !std::all_of(codes.begin(), codes.end(), IsHexDigit)))
        return "a configuration read from another module or without four hex digits";
    if (IsAcknowledged(text, address) && text != L"!" + address && text != L"!" + address + L"\r")
        return "an acknowledgement that is more than !AA";
    return {};
}

// The Modbus checks and decoders over one record; the record ends before the inaccessible page.
struct CModbusResult {
    bool checked = false, iva = false, rrg = false;
    float reading = 0, first = 0, second = 0;

    bool operator==(const CModbusResult& o) const
    {
        const size_t bytes = sizeof(float);  // bit for bit: a NaN is the same NaN
        return checked == o.checked && iva == o.iva && rrg == o.rrg && std::memcmp(&reading, &o.reading, bytes) == 0 &&
               std::memcmp(&first, &o.first, bytes) == 0 && std::memcmp(&second, &o.second, bytes) == 0;
    }
};

CModbusResult DecodeModbus(CGuardedPage& page, const CFrameRecord& request, const CFrameRecord& reply)
{
    const CFrameRecord& placed = *page.Place(&reply, 1);
    CModbusResult result;
    result.checked = ModbusCheckReply(request, placed);
    result.iva = DecodeIva8Reading(placed, result.reading);
    result.rrg = DecodeRrg12Readings(placed, result.first, result.second);
    return result;
}

std::string ReadModbus(CGuardedPage& page, const CFrameRecord& request, const std::string& bytes, std::mt19937& rng)
{
    CFrameRecord clean;
    clean.count = int(std::min(bytes.size(), sizeof clean.data));
    std::memcpy(clean.data, bytes.data(), size_t(clean.count));
    static const int outside[] = {-5, 257, 100000};  // counts no transport makes
    if (rng() % 50 == 0)
        clean.count = outside[rng() % 3];
    // Noise made of the bytes a decoder would react to: addresses, function codes, exception codes.
    const uint8_t likely[] = {0, 0xFF, request.data[0], request.data[1], uint8_t(request.data[1] | 0x80)};
    CFrameRecord noisy = clean;
    for (int i = std::max(clean.count, 0); i < int(sizeof noisy.data); ++i)
        noisy.data[i] = rng() % 6 == 5 ? uint8_t(rng()) : likely[rng() % 5];
    CModbusResult a = DecodeModbus(page, request, clean), b = DecodeModbus(page, request, noisy);
    if (!(a == b))
        return "a byte after the reply changed a result";
    if ((a.iva && clean.count < kIva8ReplyBytes) || (a.rrg && clean.count < kRrg12ReplyBytes))
        return "a reading decoded from a reply too short to hold it";
    if ((a.iva && std::fabs(a.reading) > 327.68f) || (a.rrg && (a.first < 0 || a.second < 0 || a.first > 655.35f)))
        return "a reading out of its range";
    return {};
}

// The segment for the device inputs: a pipe whose other end answers each request with a reply
// the maker makes for it, and remembers what it sent.
class CFuzzSegment {
public:
    CFuzzSegment()
        : m_pipe(L"\\\\.\\pipe\\orvex-reply-fuzz-" + std::to_wstring(::GetCurrentProcessId())),
          m_peer(m_pipe.GetPortId(), [this](const std::string& request, std::string& reply) {
              return Answer(request, reply);
          })
    {
    }

    bool Connected() const { return m_peer.Connected(); }
    CTransport& Transport() { return m_pipe; }

    void Prepare(std::mt19937& rng, bool checksum)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_rng = &rng;
        m_pipe.SetDconChecksum(checksum);
        m_sent.clear();
        m_request.clear();
    }

    void Sent(std::string& request, std::string& reply)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        request = m_request;
        reply = m_sent;
    }

private:
    // Modbus requests start with their address byte (0 or 1 here), DCON ones with a lead character.
    bool Answer(const std::string& request, std::string& reply)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        CReplyMaker maker(*m_rng);
        if (request.size() >= 4 && static_cast<unsigned char>(request[0]) < 0x20) {
            CFrameRecord frame;
            frame.count = int(request.size());
            std::memcpy(frame.data, request.data(), request.size());
            reply = maker.Modbus(frame);
        } else {
            std::string body = request.substr(3, request.find('\r') - 3 - (m_pipe.DconChecksum() ? 2 : 0));
            reply = maker.Dcon(request[0], request.substr(1, 2), body, m_pipe.DconChecksum());
        }
        if (reply.empty())
            reply = "\r";  // an empty message would leave the exchange to its time limit
        m_request = request;
        m_sent = reply;
        return true;
    }

    CPipe m_pipe;
    std::mutex m_lock;
    std::mt19937* m_rng = nullptr;
    std::string m_request;
    std::string m_sent;
    CPipeResponder m_peer;
};

// One read of a device whose inputs start as a value no reply makes; what changed must match
// what the reply's check and the device's result say.
std::string ReadDevice(CFuzzSegment& segment, CDevice& device, std::mt19937& rng)
{
    bool checksum = rng() % 2 == 0;
    segment.Prepare(rng, checksum);
    for (CValue& input : device.inputs)
        input.SetDouble(-12345.5);
    bool result = device.ReadInputs();
    size_t changed = 0;
    for (const CValue& input : device.inputs)
        changed += input.tag != TagDouble;
    std::string request, sent;
    segment.Sent(request, sent);
    const bool modbus = device.kind >= 12;
    const size_t written = device.kind == 4 ? 1 : device.inputs.size();  // a 7052D reads counter 0 only
    bool passed = false;
    if (modbus) {
        CFrameRecord asked, answered;
        asked.count = int(std::min(request.size(), sizeof asked.data));
        std::memcpy(asked.data, request.data(), size_t(asked.count));
        answered.count = int(std::min(sent.size(), sizeof answered.data));
        std::memcpy(answered.data, sent.data(), size_t(answered.count));
        int needed = device.kind == 12 ? kIva8ReplyBytes : kRrg12ReplyBytes;
        passed = ModbusCheckReply(asked, answered) && ModbusAnswers(asked, answered) && answered.count >= needed;
        if (!result || (passed ? changed != written : changed != 0))
            return "values of a Modbus device not set exactly by a checked reply";
    } else {
        std::wstring reply = AnsiToWide(sent.substr(0, sent.find('\0')));  // as the pipe delivers text
        passed = DconCheckReply(reply, checksum);
        if (changed != (result ? written : 0) || (changed && !passed))
            return "values of a DCON module changed without a checked reply, or a read that did not set them";
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    setlocale(LC_ALL, ".1251");
    CFuzzRun run(argc, argv, 5000, 20261210, 20000);
    CGuardedPage page;
    CFuzzSegment segment;
    if (!segment.Connected()) {
        std::printf("the pipe segment's peer could not connect\n");
        return 2;
    }
    const wchar_t* const keywords[] = {L"ICP7041D", L"ICP7044D", L"ICP7055D", L"ICP7052D", L"ICP7017",
                                       L"ICP7033",  L"IVA8",     L"RRG12"};
    std::vector<std::unique_ptr<CDevice>> devices;
    for (const wchar_t* keyword : keywords) {
        devices.push_back(CreateDevice(keyword));
        devices.back()->address = devices.back()->kind == 13 ? L"3" : L"11";
        devices.back()->transport = &segment.Transport();
    }
    segment.Transport().Open();

    long dcon = 0, dconPassed = 0, modbus = 0, deviceReads = 0;
    for (long i = run.First(); i < run.End(); ++i) {
        std::mt19937 rng = run.Generator(i);
        CReplyMaker maker(rng);
        run.Working(i);
        std::string fault, shown;
        if (i % 2 == 0) {
            static const char leads[] = "@#$~";
            bool checksum = rng() % 2 == 0;
            std::string address = maker.Address();
            char lead = leads[maker.Uniform(4)];
            std::string bytes = maker.Dcon(lead, address, lead == '$' ? "2" : "", checksum);
            std::wstring raw = AnsiToWide(bytes.data(), bytes.size()), reply = raw;  // as a serial line delivers it
            bool passed = DconCheckReply(reply, checksum);
            dconPassed += passed;
            ++dcon;
            size_t lineEnd = reply.find(L'\r');
            if (passed && lineEnd != std::wstring::npos && (checksum || lineEnd + 1 != reply.size()))
                fault = "a checked reply with more than its one line";
            if (fault.empty() && passed)
                fault = ReadDcon(page, reply, AnsiToWide(address));
            if (fault.empty())
                fault = ReadDcon(page, raw, AnsiToWide(address));
            shown = Hex(bytes) + (checksum ? "(checksum on)" : "(checksum off)");
        } else {
            CFrameRecord request;
            switch (maker.Uniform(4)) {
            case 0: CModBusRtu::BuildIva8Read(request, 0x0200); break;
            case 1: CModBusRtu::BuildReadHolding(request, 3, 4, 2); break;
            case 2: CModBusRtu::BuildWriteRegister(request, 3, 4, uint16_t(rng())); break;
            default: CModBusRtu::BuildLinkTest(request); break;
            }
            ModbusAppendCrc(request);
            std::string bytes = maker.Modbus(request);
            ++modbus;
            fault = ReadModbus(page, request, bytes, rng);
            shown = Hex(bytes);
        }
        if (fault.empty() && i % kDeviceEvery == 0) {
            CDevice& device = *devices[rng() % devices.size()];
            ++deviceReads;
            fault = ReadDevice(segment, device, rng);
            std::string request, sent;
            segment.Sent(request, sent);
            shown = WideToAnsi(device.keyword) + ": " + Hex(request) + "-> " + Hex(sent);
        }
        run.Working(-1);
        if (!fault.empty())
            run.Fail(i, fault + ": " + shown);
    }
    char figures[256];
    std::snprintf(figures, sizeof figures,
                  "replies: %ld DCON (%ld passed their check), %ld Modbus; %ld of them also read by a device "
                  "over a pipe",
                  dcon, dconPassed, modbus, deviceReads);
    return run.Finish(figures);
}
