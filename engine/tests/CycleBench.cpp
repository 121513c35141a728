// Pass time of the acquisition cycle against devsim over pty lines, passes back to back.
//   P1: pass time of a segment of 3 DCON modules at 20 ms against the sum of the delays and
//       against its floor, the three bare exchanges on the same line;
//   P2: pass time with 4 such segments / with 1.
#include "BareLine.h"
#include "ConfigFile.h"
#include "CycleWindow.h"
#include "Devsim.h"
#include <cstdio>
#include <memory>

namespace {
constexpr int kDelay = 20;
constexpr int kModules = 3;
constexpr int kPasses = 40;

std::string Config(const std::vector<std::pair<int, int>>& pairs, size_t segments)
{
    std::string body;
    for (size_t s = 0; s < segments; ++s) {
        std::string name = "S" + std::to_string(s);
        body += "<port name=\"" + name + "\" id=\"COM" + std::to_string(pairs[s].first) +
                "\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"" + std::to_string(kDelay) +
                "\" crc=\"off\" lrc=\"on\"/>\n";
        for (int m = 0; m < kModules; ++m)
            body += "<device name=\"ICP7017\" transport=\"" + name + "\" addres=\"" + std::to_string(11 + m) +
                    "\" description=\"d\"/>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1\">\n" + body + "</configuration>\n";
}

// The three exchanges of a pass done bare on the first segment's line, median of 40 rounds.
double Floor(const std::vector<std::pair<int, int>>& pairs)
{
    CBareLine line(ComName(pairs[0].first));
    std::vector<std::string> requests;
    for (int m = 0; m < kModules; ++m)
        requests.push_back(DconWireLine("#" + std::to_string(11 + m)));
    return line.IsOpen() ? line.MedianRound(requests, kDelay, 40) : -1;
}

// Milliseconds per pass with the first `segments` pty pairs, or a negative number on failure.
// With `floor`, the floor of the first segment is measured first, devsim answering.
double PassTime(const std::vector<std::pair<int, int>>& pairs, size_t segments, double* floor = nullptr)
{
    std::string config = Config(pairs, segments);
    std::vector<std::unique_ptr<CDevsim>> sims;
    for (size_t s = 0; s < segments; ++s) {
        sims.push_back(std::make_unique<CDevsim>(config, L"S" + std::to_wstring(s), ComName(pairs[s].second)));
        if (!sims.back()->Ready())
            return -1;
    }
    if (floor && (*floor = Floor(pairs)) <= 0)
        return -1;
    CController c;
    std::wstring report;
    if (LoadConfig(config, c) != S_OK || !c.CheckLinks(report))
        return -2;
    CCycleWindow window;
    c.StartCycle(window);
    window.Pump(2, 30000);
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    window.Pump(2 + kPasses, 120000);
    ::QueryPerformanceCounter(&end);
    c.StopCycle();
    if (window.timers + window.failures < 2 + kPasses)
        return -3;
    if (window.failures)
        std::printf("(%zu segments: %d of %d passes failed: replies later than the delay)\n", segments,
                    window.failures, window.timers + window.failures);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart) / kPasses;
}
}  // namespace

int main()
{
    CComApartment apartment;
    auto pairs = RigPairs();
    if (pairs.size() < 4) {
        std::printf("cycle_bench needs 4 pty pairs from the rig\n");
        return 1;
    }
    double floor = 0;
    double one = PassTime(pairs, 1, &floor);
    double four = PassTime(pairs, 4);
    if (one <= 0 || four <= 0) {
        std::printf("cycle_bench: a run failed (%.0f, %.0f)\n", one, four);
        return 1;
    }
    std::printf("pass with 1 segment of %d modules at %d ms: %.1f ms; floor (the %d exchanges bare) %.1f ms\n",
                kModules, kDelay, one, kModules, floor);
    std::printf("pass with 4 such segments: %.1f ms\n", four);
    std::printf("P1 pass / sum of reply delays = %.3f; pass / floor = %.3f (target <= 1.05)\n",
                one / (kModules * kDelay), one / floor);
    std::printf("P2 pass time 4 segments / 1 segment = %.3f (target <= 1.05)\n", four / one);
    return 0;
}
