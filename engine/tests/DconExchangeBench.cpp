// One DCON exchange against its floor: the analog read of an ICP7017 through CSerial and the
// bare write, wait and read of the same request on the same pty line, devsim answering, at
// 10, 20 and 60 ms delay. The two take turns in blocks, so that both see the same load.
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
    "<port name=\"seg\" id=\"COM3\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"10\" crc=\"off\" lrc=\"on\"/>\n"
    "<device name=\"ICP7017\" transport=\"seg\" addres=\"01\"/>\n"
    "</configuration>\n";
constexpr int kBlocks = 4;
constexpr int kPerBlock = 50;

bool EngineBlock(const std::wstring& port, int delay, std::vector<double>& times, int& failures)
{
    CSerial serial(port, L"9600,n,8,1", L"DCON", delay);
    serial.SetDconChecksum(true);
    if (!serial.Open())
        return false;
    CIcpModule module(*FindIcpModule(L"ICP7017"));
    module.address = L"01";
    module.transport = &serial;
    for (int i = 0; i < kPerBlock; ++i) {
        CStopwatch timer;
        failures += module.ReadInputs() ? 0 : 1;
        times.push_back(timer.Milliseconds());
    }
    return true;
}

bool FloorBlock(const std::wstring& port, int delay, std::vector<double>& times)
{
    CBareLine line(port);
    if (!line.IsOpen())
        return false;
    std::string reply;
    for (int i = 0; i < kPerBlock; ++i)
        times.push_back(line.Exchange(DconWireLine("#01"), delay, reply));
    return true;
}

bool Measure(const std::wstring& port, int delay)
{
    std::vector<double> engine, floor;
    int failures = 0;
    for (int block = 0; block < kBlocks; ++block)
        if (!FloorBlock(port, delay, floor) || !EngineBlock(port, delay, engine, failures))
            return false;
    double exchange = Median(engine), bare = Median(floor);
    std::printf("exchange at %2d ms delay: %.2f ms median, floor %.2f ms; exchange/delay %.3f, "
                "exchange/floor %.3f (target <= 1.05); %d of %d failed\n",
                delay, exchange, bare, exchange / delay, exchange / bare, failures, kBlocks * kPerBlock);
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
    CDevsim sim(kConfig, L"seg", ComName(pairs[0].first));
    if (!sim.Ready()) {
        std::puts("devsim did not start");
        return 1;
    }
    for (int delay : {10, 20, 60})
        if (!Measure(ComName(pairs[0].second), delay))
            return 1;
    return 0;
}
