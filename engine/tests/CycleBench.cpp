// Pass time of the acquisition cycle on cables of 9600 Bd (the rig's slow links) against devsim
// answering after a 2 ms turnaround, as the engine takes it (the time a pass holds the
// acquisition lock), against the line's own floor (the pass's requests and replies at 10 bits a
// byte, plus a turnaround each) and against the sum of the reply delays:
//   P1: a segment of 3 DCON modules at 60 ms;
//   P2: 4 such segments / 1 segment;
//   the 500-variable file of the refresh bench on 4 segments at 100 ms.
#include "BareLine.h"
#include "ConfigFile.h"
#include "CycleWindow.h"
#include "Devsim.h"
#include "LargeConfig.h"
#include "Median.h"
#include <cstdio>
#include <memory>

namespace {
constexpr unsigned kBaud = 9600;
constexpr int kTurnaroundMs = 2;
constexpr int kSmallDelay = 60;
// Longer than the analog modules' 60-byte replies take at 9600 Bd.
constexpr int kLargeBenchDelay = 100;
constexpr int kBlocks = 4;
constexpr int kPassesPerBlock = 10;

// Digital modules: 11 reads its inputs; 12 and 13 read theirs and set their outputs.
const char* const kSmallModules[][2] = {{"ICP7041D", "11"}, {"ICP7044D", "12"}, {"ICP7055D", "13"}};

std::string SmallConfig(const std::vector<std::pair<int, int>>& pairs, size_t segments)
{
    std::string body;
    for (size_t s = 0; s < segments; ++s) {
        std::string name = "S" + std::to_string(s);
        body += "<port name=\"" + name + "\" id=\"COM" + std::to_string(pairs[s].first) +
                "\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"" + std::to_string(kSmallDelay) +
                "\" crc=\"off\" lrc=\"on\"/>\n";
        for (const auto& module : kSmallModules)
            body += std::string("<device name=\"") + module[0] + "\" transport=\"" + name + "\" addres=\"" +
                    module[1] + "\" description=\"d\"/>\n";
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"100\">\n" + body + "</configuration>\n";
}

// The commands of one small segment's pass: the reads, then the writes.
std::vector<std::string> SmallCommands() { return {"@11", "@12", "@13", "@1200", "@1300"}; }

struct Figures {
    double pass = 0;   // median milliseconds of a good pass
    double floor = 0;  // the wire floor of one segment's pass
    int failed = 0;
};

bool PassBlock(CController& c, std::vector<double>& passes, int& failed)
{
    CCycleWindow window;
    if (!c.StartCycle(window))
        return false;
    for (int i = 0; i < kPassesPerBlock; ++i) {
        int before = window.timers;
        window.Pump(window.timers + window.failures + 1, 30000);
        if (window.timers > before)
            passes.push_back(c.LastPassMilliseconds());
    }
    c.StopCycle();
    failed += window.failures;
    return window.timers + window.failures >= kPassesPerBlock;
}

// The floor from segment S0's line, before the engine opens its ports; the segments are alike.
bool MeasureFloor(const std::vector<std::pair<int, int>>& pairs, const std::vector<std::string>& commands, int delay,
                  Figures& figures)
{
    CBareLine line(ComName(pairs[0].first));
    std::vector<std::string> requests;
    for (const std::string& command : commands)
        requests.push_back(DconWireLine(command));
    figures.floor = line.IsOpen() ? WireFloor(line, requests, delay, kBaud, kTurnaroundMs) : 0;
    if (figures.floor <= 0)
        std::printf("the floor's exchanges got no reply\n");
    return figures.floor > 0;
}

// Segments named S0, S1, ... on the first pty pairs, devsim answering on each.
bool Measure(const std::string& config, const std::vector<std::pair<int, int>>& pairs, size_t segments,
             const std::vector<std::string>& commands, int delay, Figures& figures)
{
    std::vector<std::unique_ptr<CDevsim>> sims;
    for (size_t s = 0; s < segments; ++s) {
        sims.push_back(std::make_unique<CDevsim>(config, L"S" + std::to_wstring(s), ComName(pairs[s].second),
                                                 L"--turnaround " + std::to_wstring(kTurnaroundMs)));
        if (!sims.back()->Ready()) {
            std::printf("devsim for segment S%zu did not start\n", s);
            return false;
        }
    }
    if (!MeasureFloor(pairs, commands, delay, figures))
        return false;
    CController c;
    std::wstring report, error;
    if (LoadConfig(config, c, &error) != S_OK) {
        std::printf("the configuration did not load: %ls\n", error.c_str());
        return false;
    }
    if (!c.CheckLinks(report)) {
        std::printf("link check failed:\n%ls", report.c_str());
        return false;
    }
    std::vector<double> passes;
    for (int block = 0; block < kBlocks; ++block)
        if (!PassBlock(c, passes, figures.failed))
            return false;
    figures.pass = Median(passes);
    return true;
}

void Print(const char* what, const Figures& figures, size_t exchanges, int delay)
{
    double delays = double(exchanges) * delay;
    std::printf("%s (%zu exchanges at %d ms): %.1f ms median; wire floor %.1f ms; sum of the delays %.0f ms\n", what,
                exchanges, delay, figures.pass, figures.floor, delays);
    std::printf("  pass / wire floor = %.3f (target <= 1.15); pass / sum of the delays = %.3f\n",
                figures.pass / figures.floor, figures.pass / delays);
    if (figures.failed)
        std::printf("  (%d passes failed: replies later than the delay)\n", figures.failed);
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
    std::vector<int> hosts;
    for (const auto& pair : pairs)
        hosts.push_back(pair.first);
    Figures one, four, large;
    if (!Measure(SmallConfig(pairs, 1), pairs, 1, SmallCommands(), kSmallDelay, one) ||
        !Measure(SmallConfig(pairs, 4), pairs, 4, SmallCommands(), kSmallDelay, four) ||
        !Measure(LargeConfiguration(hosts, 500, kLargeBenchDelay), pairs, 4, LargeSegmentCommands(), kLargeBenchDelay,
                 large)) {
        std::printf("cycle_bench: a run did not complete\n");
        return 1;
    }
    std::printf("lines of %u Bd, devsim answering after %d ms\n", kBaud, kTurnaroundMs);
    Print("P1 pass of 1 segment of 3 DCON modules", one, SmallCommands().size(), kSmallDelay);
    Print("P2 pass of 4 such segments", four, SmallCommands().size(), kSmallDelay);
    std::printf("  4 segments / 1 segment = %.3f (target <= 1.05)\n", four.pass / one.pass);
    Print("pass of the 500-variable file (4 segments)", large, LargeSegmentCommands().size(), kLargeBenchDelay);
    return 0;
}
