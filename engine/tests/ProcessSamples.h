#pragma once
#include <windows.h>
#include <string>
#include <vector>

// What a long run watches of a process: handles, threads and private bytes.
struct ProcessSample {
    double handles = 0, threads = 0, privateBytes = 0;
};

// Samples a process (this one: GetCurrentProcess()). Wine reports no handle count and no
// private usage: the handles are then counted as the handle values that can be duplicated out
// of the process, and the private bytes are its commit charge (the page-file usage), which is
// what Windows reports as private bytes too.
ProcessSample SampleProcess(HANDLE process);

// The samples of one run, taken at a steady interval.
class CSampleSeries {
public:
    CSampleSeries(HANDLE process, DWORD intervalMs) : m_process(process), m_interval(intervalMs) {}
    // Takes the first sample, and then one whenever the interval has passed.
    void Poll();
    // "handles first 120 last 121 highest 124", likewise threads and private bytes (in KB).
    std::string Figures() const;
    // Growth after warm-up: the first `warmup` samples, in which the process opens its ports,
    // starts its threads and fills its heaps, give the baseline (their highest value); the run
    // has grown when even the lowest of its last three samples lies more than 1 % above it.
    // Handles and private bytes are checked. Empty when nothing grew, else what grew and by how much.
    std::string Growth(size_t warmup) const;
    // Prints the figures and the growth after a warm-up of the first minute or fifth of a run of
    // `minutes`, whichever is longer; true when nothing grew.
    bool Report(double minutes) const;

private:
    HANDLE m_process;
    DWORD m_interval;
    DWORD m_last = 0;
    std::vector<ProcessSample> m_samples;
};
