// Pass time of the acquisition cycle against devsim over pty lines, as the engine takes it (the
// time a pass holds the acquisition lock), against its floor: the same exchanges done bare
// (write, wait, read) on the same lines, all segments' lines at once as in a pass. Floor rounds
// and passes take turns in blocks, so that both see the same load.
//   P1: a segment of 3 DCON modules at 20 ms: pass / sum of the delays, pass / floor;
//   P2: 4 such segments / 1 segment;
//   the 500-variable file of the refresh bench on 4 segments: pass / floor.
#include "BareLine.h"
#include "ConfigFile.h"
#include "CycleWindow.h"
#include "Devsim.h"
#include "LargeConfig.h"
#include "Median.h"
#include "Serial.h"
#include <cstdio>
#include <memory>

namespace {
constexpr int kDelay = 20;
constexpr int kModules = 3;
constexpr int kBlocks = 4;
constexpr int kPassesPerBlock = 10;

std::string SmallConfig(const std::vector<std::pair<int, int>>& pairs, size_t segments)
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
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"100\">\n" + body + "</configuration>\n";
}

struct Figures {
    double pass = 0;   // median milliseconds of a good pass
    double floor = 0;  // median milliseconds of the bare exchanges of one pass, 0 when not asked for
    int failed = 0;
};

// The floor's bare rounds on the segments' lines at once, with the engine's ports closed meanwhile.
bool FloorBlock(CController& c, const std::vector<std::string>& commands, int delay, std::vector<double>& rounds)
{
    std::vector<std::unique_ptr<CBareLine>> lines;
    std::vector<CBareLine*> open;
    for (auto& transport : c.Transports()) {
        auto* serial = dynamic_cast<CSerial*>(transport.get());
        serial->Close();
        lines.push_back(std::make_unique<CBareLine>(serial->GetPortId()));
        if (!lines.back()->IsOpen())
            return false;
        open.push_back(lines.back().get());
    }
    std::vector<std::string> requests;
    for (const std::string& command : commands)
        requests.push_back(DconWireLine(command));
    for (double round : ParallelRounds(open, requests, delay, kPassesPerBlock))
        rounds.push_back(round);
    lines.clear();
    bool reopened = true;
    for (auto& transport : c.Transports())
        reopened = transport->Open() && reopened;
    return reopened;
}

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

// Segments named S0, S1, ... on the first pty pairs, devsim answering on each; floor commands
// empty: no floor.
bool Measure(const std::string& config, const std::vector<std::pair<int, int>>& pairs, size_t segments,
             const std::vector<std::string>& floorCommands, int delay, Figures& figures)
{
    std::vector<std::unique_ptr<CDevsim>> sims;
    for (size_t s = 0; s < segments; ++s) {
        sims.push_back(std::make_unique<CDevsim>(config, L"S" + std::to_wstring(s), ComName(pairs[s].second)));
        if (!sims.back()->Ready()) {
            std::printf("devsim for segment S%zu did not start\n", s);
            return false;
        }
    }
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
    std::vector<double> passes, rounds;
    for (int block = 0; block < kBlocks; ++block) {
        if (!floorCommands.empty() && !FloorBlock(c, floorCommands, delay, rounds))
            return false;
        if (!PassBlock(c, passes, figures.failed))
            return false;
    }
    figures.pass = Median(passes);
    figures.floor = Median(rounds);
    return true;
}

void PrintFailures(const char* what, const Figures& figures)
{
    if (figures.failed)
        std::printf("(%s: %d passes failed: replies later than the delay)\n", what, figures.failed);
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
    std::vector<std::string> smallCommands;
    for (int m = 0; m < kModules; ++m)
        smallCommands.push_back("#" + std::to_string(11 + m));
    std::vector<int> hosts;
    for (const auto& pair : pairs)
        hosts.push_back(pair.first);
    Figures one, four, large;
    if (!Measure(SmallConfig(pairs, 1), pairs, 1, smallCommands, kDelay, one) ||
        !Measure(SmallConfig(pairs, 4), pairs, 4, {}, kDelay, four) ||
        !Measure(LargeConfiguration(hosts, 500), pairs, 4, LargeSegmentCommands(), kLargeDelay, large)) {
        std::printf("cycle_bench: a run did not complete\n");
        return 1;
    }
    PrintFailures("1 segment", one);
    PrintFailures("4 segments", four);
    PrintFailures("500 variables", large);
    std::printf("pass of 1 segment of %d DCON modules at %d ms: %.1f ms median; floor (the %d exchanges bare) %.1f ms\n",
                kModules, kDelay, one.pass, kModules, one.floor);
    std::printf("P1 pass / sum of reply delays = %.3f; pass / floor = %.3f (target <= 1.05)\n",
                one.pass / (kModules * kDelay), one.pass / one.floor);
    std::printf("P2 pass with 4 such segments %.1f ms median; 4 segments / 1 segment = %.3f (target <= 1.05)\n",
                four.pass, four.pass / one.pass);
    size_t exchanges = LargeSegmentCommands().size();
    std::printf("pass of the %d-variable file (4 segments of %zu exchanges at %d ms): %.1f ms median; floor %.1f ms\n",
                kLargeVariables, exchanges, kLargeDelay, large.pass, large.floor);
    std::printf("pass / sum of reply delays = %.3f; pass / floor = %.3f (target <= 1.05)\n",
                large.pass / double(exchanges * kLargeDelay), large.pass / large.floor);
    return 0;
}
