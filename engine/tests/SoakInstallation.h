#pragma once
#include "Devsim.h"
#include <memory>
#include <string>
#include <utility>
#include <vector>

// How the long runs drive the installation: a pass every 100 ms, faults in 10 % of the replies,
// the process sampled every 10 s.
constexpr int kSoakPeriodMs = 100;
constexpr int kSoakFaultPercent = 10;
constexpr unsigned long kSoakSampleMs = 10000;

// What the long runs need to know of a device kind.
struct SoakDeviceKind {
    const char* keyword;
    int inputs, outputs;
    char type;         // of its channels: 'A' analogue, 'D' digital
    int linkCommands;  // DCON commands of its link test; a Modbus device sends a broadcast and a read
};
const SoakDeviceKind& SoakKind(const std::string& keyword);

// The installation of the long runs: four segments, each answered by a devsim that injects
// faults at random into a share of its replies and gives new readings in every reply.
struct SoakSegment {
    std::string name;
    std::string port;       // the engine's end: COMn, or the pipe's path
    std::wstring simPort;   // devsim's end: the other COM port of the pair, or the same pipe
    bool modbus = false;
    bool lrc = false;
    int delayMs = 0;        // the reply delay (a pipe has none: it waits for its client's message)
    int limitMs = 0;        // the longest an exchange waits: the delay, or the pipe's time limit
    int lateMs = 0;         // how late a late reply comes: always after the exchange has given up
    std::vector<std::pair<std::string, std::string>> devices;  // keyword, address
    bool Pipe() const { return port.compare(0, 2, "\\\\") == 0; }
};

// DCON with the checksum, DCON without it and Modbus (IVA-8, RRG-12) on the first three pty
// pairs, DCON with the checksum on a named pipe whose client is devsim.
std::vector<SoakSegment> SoakSegments(const std::vector<std::pair<int, int>>& pairs);

// controller.xml for the segments: an item for each channel, every output toggled by its formula
// in every pass; prologue lines run at the start of every pass.
std::string SoakConfiguration(const std::vector<SoakSegment>& segments, int periodMs, const std::string& prologue);

// A devsim for every segment, each with faults in kSoakFaultPercent % of its replies, new readings
// in every reply and its own seed (seed, seed + 1, ...); empty (and said why) when one did not start.
std::vector<std::unique_ptr<CDevsim>> StartSimulators(const std::string& config,
                                                      const std::vector<SoakSegment>& segments, unsigned seed);

// SOAK_MINUTES from the environment, or the default.
double SoakMinutes(double fallback);
