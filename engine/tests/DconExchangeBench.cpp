// Overhead of one DCON exchange beyond the port's reply delay: 200 analog reads of an ICP7017
// over a pty line against devsim, at 10 ms and at 60 ms delay.
#include "Devsim.h"
#include "Stopwatch.h"
#include "IcpModules.h"
#include "Serial.h"
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const char* kConfig =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
    "<port name=\"seg\" id=\"COM3\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"10\" crc=\"off\" lrc=\"on\"/>\n"
    "<device name=\"ICP7017\" transport=\"seg\" addres=\"01\"/>\n"
    "</configuration>\n";

bool Measure(int hostEnd, int delay)
{
    CSerial serial(ComName(hostEnd), L"9600,n,8,1", L"DCON", delay);
    serial.m_lrc = true;
    if (!serial.Open())
        return false;
    CDeviceICP7017 module;
    module.address = L"01";
    module.transport = &serial;
    std::vector<double> times;
    int failures = 0;
    for (int i = 0; i < 200; ++i) {
        CStopwatch timer;
        failures += module.ReadInputs() ? 0 : 1;
        times.push_back(timer.Milliseconds());
    }
    std::sort(times.begin(), times.end());
    double median = (times[99] + times[100]) / 2.0;
    std::printf("delay %2d ms: median exchange %.2f ms, ratio %.3f (min %.2f, max %.2f, %d failed)\n", delay,
                median, median / delay, times.front(), times.back(), failures);
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
    bool ok = Measure(pairs[0].second, 10) && Measure(pairs[0].second, 60);
    return ok ? 0 : 1;
}
