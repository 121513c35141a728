// One DCON exchange through CSerial on a cable of 9600 Bd (the rig's slow link), devsim
// answering after a 2 ms turnaround, against the line's own floor (request and reply at 10 bits
// a byte, plus the turnaround) and against the reply delay: the analog read of an ICP7017 (a
// 60-byte reply) and the digital read of an ICP7041D (8 bytes), at a 100 ms delay.
#include "BareLine.h"
#include "Devsim.h"
#include "IcpModules.h"
#include "Median.h"
#include "Serial.h"
#include "Stopwatch.h"
#include <cstdio>
#include <vector>

namespace {
const char* kConfig =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
    "<port name=\"seg\" id=\"COM3\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"100\" crc=\"off\" lrc=\"on\"/>\n"
    "<device name=\"ICP7017\" transport=\"seg\" addres=\"01\"/>\n"
    "<device name=\"ICP7041D\" transport=\"seg\" addres=\"02\"/>\n"
    "</configuration>\n";
constexpr unsigned kBaud = 9600;
constexpr int kTurnaroundMs = 2;
constexpr int kDelay = 100;
constexpr int kExchanges = 100;

bool Measure(const std::wstring& port, const wchar_t* keyword, const wchar_t* address, const char* command)
{
    double floor = 0;
    {
        CBareLine line(port);
        floor = line.IsOpen() ? WireFloor(line, {DconWireLine(command)}, kDelay, kBaud, kTurnaroundMs) : 0;
    }
    CSerial serial(port, L"9600,n,8,1", L"DCON", kDelay);
    serial.SetDconChecksum(true);
    if (floor <= 0 || !serial.Open())
        return false;
    CIcpModule module(*FindIcpModule(keyword));
    module.address = address;
    module.transport = &serial;
    std::vector<double> times;
    int failures = 0;
    for (int i = 0; i < kExchanges; ++i) {
        CStopwatch timer;
        failures += module.ReadInputs() ? 0 : 1;
        times.push_back(timer.Milliseconds());
    }
    double exchange = Median(times);
    std::printf("%ls read (%s) at %d ms delay: %.2f ms median, wire floor %.2f ms; exchange/floor %.3f "
                "(target <= 1.15), exchange/delay %.3f; %d of %d failed\n",
                keyword, command, kDelay, exchange, floor, exchange / floor, exchange / kDelay, failures, kExchanges);
    return true;
}
}  // namespace

int main()
{
    auto pairs = RigPairs();
    if (pairs.empty()) {
        std::puts("no pty pair from the rig");
        return 1;
    }
    CDevsim sim(kConfig, L"seg", ComName(pairs[0].first), L"--turnaround " + std::to_wstring(kTurnaroundMs));
    if (!sim.Ready()) {
        std::puts("devsim did not start");
        return 1;
    }
    std::wstring host = ComName(pairs[0].second);
    if (!Measure(host, L"ICP7017", L"01", "#01") || !Measure(host, L"ICP7041D", L"02", "@02")) {
        std::puts("dcon_exchange_bench: a run did not complete");
        return 1;
    }
    return 0;
}
