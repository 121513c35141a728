// devsim: answers as every device of one segment of controller.xml, on a COM port or as the
// client of an engine's named pipe. Run without arguments for its usage.
#include "ComPtr.h"
#include "SimLink.h"
#include "SimLog.h"
#include "Simulator.h"
#include "TextConv.h"
#include "TimerResolution.h"
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
const char kUsage[] =
    "usage: devsim <controller.xml> <segment>[+<segment>...] <port> [options]\n"
    "  <segment>             the port element whose devices answer; with several, all their devices\n"
    "                        hang on one line, each at its own segment's speed and checksum mode\n"
    "  <port>                COMn: the simulator's end of the line; \\\\.\\pipe\\name: client of that pipe\n"
    "  --log FILE            log every request with its time and the reply\n"
    "  --set ADDR=VALUE      digital input status (hex), counter (decimal), analog inputs (1.25:-0.5),\n"
    "                        IVA-8 reading (166.84, or 0x012C for reply bytes 8 and 9), RRG-12 (10:1)\n"
    "  --fault ADDR=KIND[:N][*COUNT]  silent, badsum, late:MS, garbage, exception, cut:BYTES (the\n"
    "                        reply loses its last BYTES) or split:MS (the reply's second half comes\n"
    "                        MS later); *COUNT: the next COUNT requests only\n"
    "  --turnaround MS       on a serial line, every reply starts MS after its request ended (0)\n"
    "  --random-faults PERCENT[:MS]  a fault of a kind the segment can show in PERCENT % of the\n"
    "                        replies, late ones MS ms late (100)\n"
    "  --wave ADDR[.CH]=SHAPE:PERIOD[:AMPLITUDE[:NOISE]]  the input (every input without .CH)\n"
    "                        swings around its value: sine, triangle or square, PERIOD seconds,\n"
    "                        AMPLITUDE (1) either side, NOISE (0) the spread of the noise; a\n"
    "                        digital input flips in the upper half of the wave\n"
    "  --random-values       new random readings in every reply\n"
    "  --seed N              seeds the random faults and readings (1)\n";

struct Options {
    std::wstring config, segment, port, log;
    std::vector<std::pair<std::wstring, std::string>> sets;
    std::vector<std::pair<std::wstring, SimFault>> faults;
    std::vector<std::pair<std::wstring, std::string>> waves;
    double faultShare = 0.0;
    int lateMs = 100;
    int turnaroundMs = 0;
    bool randomValues = false;
    unsigned seed = 1;
};

bool ParseRandomFaults(const std::wstring& text, Options& options)
{
    wchar_t* end = nullptr;
    double percent = std::wcstod(text.c_str(), &end);
    if (end == text.c_str() || percent < 0.0 || percent > 100.0)
        return false;
    if (*end == L':') {
        options.lateMs = _wtoi(end + 1);
        if (options.lateMs <= 0)
            return false;
    } else if (*end) {
        return false;
    }
    options.faultShare = percent / 100.0;
    return true;
}

bool SplitAssignment(const std::wstring& text, std::wstring& address, std::string& value)
{
    size_t equals = text.find(L'=');
    if (equals == 0 || equals == std::wstring::npos)
        return false;
    address = text.substr(0, equals);
    value = WideToAnsi(text.substr(equals + 1));
    return true;
}

bool ParseFault(std::string text, SimFault& fault)
{
    size_t star = text.find('*');
    if (star != std::string::npos) {
        fault.count = std::atoi(text.c_str() + star + 1);
        text.resize(star);
    }
    size_t colon = text.find(':');
    if (colon != std::string::npos) {
        fault.ms = std::atoi(text.c_str() + colon + 1);
        text.resize(colon);
    }
    const std::pair<const char*, SimFault::Kind> kinds[] = {
        {"silent", SimFault::Silent}, {"badsum", SimFault::BadSum}, {"badcrc", SimFault::BadSum},
        {"late", SimFault::Late},     {"garbage", SimFault::Garbage}, {"exception", SimFault::Exception},
        {"cut", SimFault::Cut},       {"split", SimFault::Split}};
    for (const auto& kind : kinds)
        if (text == kind.first) {
            fault.kind = kind.second;
            if (fault.kind == SimFault::Cut)
                std::swap(fault.bytes, fault.ms);
            return true;
        }
    return false;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options)
{
    if (argc < 4)
        return false;
    options.config = argv[1];
    options.segment = argv[2];
    options.port = argv[3];
    for (int i = 4; i < argc; ++i) {
        std::wstring option = argv[i];
        if (option == L"--random-values") {
            options.randomValues = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        std::wstring argument = argv[++i];
        std::wstring address;
        std::string value;
        if (option == L"--log") {
            options.log = argument;
        } else if (option == L"--set" && SplitAssignment(argument, address, value)) {
            options.sets.emplace_back(address, value);
        } else if (option == L"--wave" && SplitAssignment(argument, address, value)) {
            options.waves.emplace_back(address, value);
        } else if (option == L"--fault" && SplitAssignment(argument, address, value)) {
            SimFault fault;
            if (!ParseFault(value, fault))
                return false;
            options.faults.emplace_back(address, fault);
        } else if (option == L"--random-faults") {
            if (!ParseRandomFaults(argument, options))
                return false;
        } else if (option == L"--turnaround") {
            options.turnaroundMs = _wtoi(argument.c_str());
            if (options.turnaroundMs < 0)
                return false;
        } else if (option == L"--seed") {
            options.seed = unsigned(std::wcstoul(argument.c_str(), nullptr, 10));
        } else {
            return false;
        }
    }
    return true;
}

// ADDR or ADDR.CH
bool ApplyWave(const std::wstring& target, const std::string& text, CSimulator& simulator)
{
    size_t dot = target.find(L'.');
    int channel = dot == std::wstring::npos ? -1 : _wtoi(target.c_str() + dot + 1);
    bool channelRead = dot == std::wstring::npos ||
                       (dot + 1 < target.size() && target.find_first_not_of(L"0123456789", dot + 1) == std::wstring::npos);
    CSimDevice* device = simulator.Find(target.substr(0, dot));
    SimWave wave;
    if (!channelRead || !device || !ParseWave(text, wave) || !device->SetWave(channel, wave)) {
        fwprintf(stderr, L"devsim: cannot make %ls swing\n", target.c_str());
        return false;
    }
    return true;
}

bool Apply(const Options& options, CSimulator& simulator)
{
    for (const auto& set : options.sets) {
        CSimDevice* device = simulator.Find(set.first);
        if (!device || !device->Set(set.second)) {
            fwprintf(stderr, L"devsim: cannot set %ls\n", set.first.c_str());
            return false;
        }
    }
    for (const auto& wave : options.waves)
        if (!ApplyWave(wave.first, wave.second, simulator))
            return false;
    for (const auto& fault : options.faults) {
        CSimDevice* device = simulator.Find(fault.first);
        if (!device) {
            fwprintf(stderr, L"devsim: no device at address %ls\n", fault.first.c_str());
            return false;
        }
        device->fault = fault.second;
    }
    simulator.SetRandomFaults(options.faultShare, options.lateMs);
    simulator.SetRandomValues(options.randomValues);
    simulator.Seed(options.seed);
    return true;
}

// `came`: the earliest the request can have come, so the log tells how long it may have waited
// for the simulator (a busy machine, or a late reply in hand). The exchange is logged before its
// reply goes out, so that whoever has the reply finds it in the log.
template <class Link>
void Reply(Link& link, const CSimulator::Answer& answer, CSimLog& log, double took, double came,
           const std::string& request, bool binary)
{
    if (answer.delayMs > 0)
        ::Sleep(DWORD(answer.delayMs));
    log.Exchange(took, (took - came) * 1000.0, request, answer.bytes, binary, answer.fault);
    if (answer.splitMs > 0 && answer.bytes.size() > 1) {
        size_t half = answer.bytes.size() / 2;
        link.Write(answer.bytes.substr(0, half));
        ::Sleep(DWORD(answer.splitMs));
        link.Write(answer.bytes.substr(half));
    } else if (!answer.bytes.empty()) {
        link.Write(answer.bytes);
    }
}

const double kPauseMs = 20.0;

// Requests on a serial line: DCON lines end in a carriage return; Modbus frames end where
// their function says, or at a pause. Bytes a read brings came after the read before it began.
// Every answer waits the device's turnaround first.
void ServePort(CSimPort& port, CSimulator& simulator, CSimLog& log, int turnaroundMs)
{
    CTimerResolution fineTimer;
    std::string pending;
    double pendingCame = 0.0, lastLook = simulator.Seconds();
    auto answer = [&](CSimulator::Answer reply, const std::string& request, bool binary) {
        reply.delayMs += turnaroundMs;
        Reply(port, reply, log, simulator.Seconds(), pendingCame, request, binary);
    };
    CStopwatch sinceByte;
    for (;;) {
        double look = simulator.Seconds();
        std::string received = port.Read();
        if (pending.empty() && !received.empty())
            pendingCame = lastLook;
        lastLook = look;
        pending += received;
        if (!received.empty())
            sinceByte.Restart();
        if (simulator.Dcon()) {
            for (size_t end; (end = pending.find('\r')) != std::string::npos;) {
                std::string line = pending.substr(0, end + 1);
                pending.erase(0, end + 1);
                answer(simulator.HandleDcon(line, true, port.Baud()), line, false);
            }
        } else {
            for (size_t length; (length = CSimulator::ModbusRequestLength(pending)) > 0;) {
                std::string frame = pending.substr(0, length);
                pending.erase(0, length);
                answer(simulator.HandleModbus(frame, port.Baud()), frame, true);
            }
        }
        if (!pending.empty() && sinceByte.Milliseconds() >= kPauseMs) {  // a pause ends whatever came without an end
            std::string rest;
            rest.swap(pending);
            answer(simulator.Dcon() ? CSimulator::Answer() : simulator.HandleModbus(rest, port.Baud()), rest,
                   !simulator.Dcon());
        }
    }
}

void ServePipe(const std::wstring& path, CSimulator& simulator, CSimLog& log)
{
    for (;;) {
        CSimPipeClient pipe;
        if (!pipe.Connect(path)) {
            ::Sleep(200);
            continue;
        }
        log.Line("# connected");
        std::string message;
        for (double came = simulator.Seconds(); pipe.ReadMessage(message); came = simulator.Seconds()) {
            bool binary = message.size() >= 4 && CSimulator::HasGoodCrc(message);
            Reply(pipe, simulator.HandleMessage(message), log, simulator.Seconds(), came, message, binary);
        }
        log.Line("# disconnected");
    }
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        fputs(kUsage, stderr);
        return 2;
    }
    SimSegmentConfig config;
    std::wstring error;
    {
        CComApartment apartment;
        if (!LoadSegmentConfig(options.config, options.segment, config, error)) {
            fwprintf(stderr, L"devsim: %ls\n", error.c_str());
            return 1;
        }
    }
    CSimulator simulator(config);
    if (!Apply(options, simulator))
        return 2;
    CSimLog log;
    if (!options.log.empty() && !log.Open(options.log)) {
        fwprintf(stderr, L"devsim: cannot write %ls\n", options.log.c_str());
        return 1;
    }
    // The tick count at the log's time zero, so that the logs of several simulators and a test's
    // own clock can be laid side by side.
    log.Line("# clock " + std::to_string(::GetTickCount() - DWORD(simulator.Seconds() * 1000.0)));
    std::wstring lower = options.port;
    for (wchar_t& c : lower)
        c = wchar_t(towlower(c));
    if (lower.compare(0, 2, L"\\\\") == 0 && lower.find(L"\\pipe\\") != std::wstring::npos) {
        log.Line("# ready " + WideToAnsi(options.port));
        ServePipe(options.port, simulator, log);
    }
    CSimPort port;
    if (!port.Open(options.port, config.settings)) {
        fwprintf(stderr, L"devsim: cannot open %ls (error %lu)\n", options.port.c_str(), ::GetLastError());
        return 1;
    }
    log.Line("# ready " + WideToAnsi(options.port));
    ServePort(port, simulator, log, options.turnaroundMs);
    return 0;
}
