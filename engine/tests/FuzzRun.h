#pragma once
#include "Event.h"
#include "Stopwatch.h"
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

// The frame of a seeded fuzz run, one program run through many inputs:
//   --count N   inputs to make (default per program)   --seed S   the run's seed
//   --first I   index of the first input (so that one input can be made again alone)
// further arguments are files the program reads. Input i is made from its own generator, seeded
// with (S, i). A watchdog ends the run when one input takes longer than the hang limit, and a
// crash is reported with the input in hand before the process ends.
class CFuzzRun {
public:
    CFuzzRun(int argc, char** argv, long defaultCount, unsigned defaultSeed, DWORD hangMs);
    ~CFuzzRun();
    CFuzzRun(const CFuzzRun&) = delete;
    CFuzzRun& operator=(const CFuzzRun&) = delete;

    long First() const { return m_first; }
    long End() const { return m_first + m_count; }
    const std::vector<std::string>& Files() const { return m_files; }
    std::mt19937 Generator(long index) const;

    // Marks the input in hand for the watchdog and the crash report; -1: none.
    void Working(long index);
    // Reports a fault of an input with the arguments that make it again.
    void Fail(long index, const std::string& what);
    int Failures() const { return m_failures; }
    double Seconds() const { return m_clock.Milliseconds() / 1000.0; }
    // The summary line (count, time, seed) and the exit code: 0 when no input failed.
    int Finish(const std::string& figures);

private:
    void Watch();
    static LONG WINAPI OnCrash(EXCEPTION_POINTERS* info);

    long m_first = 0;
    long m_count;
    unsigned m_seed;
    DWORD m_hangMs;
    std::vector<std::string> m_files;
    int m_failures = 0;
    CStopwatch m_clock;
    std::atomic<long> m_current{-1};
    std::atomic<DWORD> m_since{0};
    CEvent m_stop{true};
    std::thread m_watchdog;
};
