#include "ProcessSamples.h"
#include <psapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>

namespace {
// Handle values are multiples of 4 and handed out from the lowest free one, so a long run of
// values without a handle means there are no more.
double DuplicableHandles(HANDLE process)
{
    double count = 0;
    unsigned misses = 0;
    for (ULONG_PTR value = 4; misses < 4096; value += 4) {
        HANDLE copy = nullptr;
        if (::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_SAME_ACCESS)) {
            ::CloseHandle(copy);
            ++count;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return count;
}

double Threads(DWORD processId)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    double count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    ::CloseHandle(snapshot);
    return count;
}

struct Figure {
    const char* name;
    double ProcessSample::*member;
    double unit;
    bool checked;
};
const Figure kFigures[] = {{"handles", &ProcessSample::handles, 1.0, true},
                           {"threads", &ProcessSample::threads, 1.0, false},
                           {"private KB", &ProcessSample::privateBytes, 1024.0, true}};
}  // namespace

ProcessSample SampleProcess(HANDLE process)
{
    ProcessSample sample;
    DWORD handles = 0;
    sample.handles = ::GetProcessHandleCount(process, &handles) && handles > 0 ? handles : DuplicableHandles(process);
    sample.threads = Threads(::GetProcessId(process));
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        sample.privateBytes = double(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    return sample;
}

void CSampleSeries::Poll()
{
    DWORD now = ::GetTickCount();
    if (!m_samples.empty() && now - m_last < m_interval)
        return;
    m_last = m_samples.empty() ? now : m_last + m_interval;
    m_samples.push_back(SampleProcess(m_process));
}

std::string CSampleSeries::Figures() const
{
    std::string text;
    if (m_samples.empty())
        return "no samples";
    for (const Figure& figure : kFigures) {
        double highest = 0;
        for (const ProcessSample& sample : m_samples)
            highest = std::max(highest, sample.*figure.member);
        char line[160];
        _snprintf(line, sizeof line, "%s%s first %.0f last %.0f highest %.0f", text.empty() ? "" : ", ", figure.name,
                  m_samples.front().*figure.member / figure.unit, m_samples.back().*figure.member / figure.unit,
                  highest / figure.unit);
        line[sizeof line - 1] = 0;
        text += line;
    }
    return text;
}

std::string CSampleSeries::Growth(size_t warmup) const
{
    if (m_samples.size() < warmup + 3)
        return "too few samples after warm-up (" + std::to_string(m_samples.size()) + ")";
    std::string text;
    for (const Figure& figure : kFigures) {
        if (!figure.checked)
            continue;
        double baseline = 0, settled = 1e300;
        for (size_t i = 0; i < warmup; ++i)
            baseline = std::max(baseline, m_samples[i].*figure.member);
        for (size_t i = m_samples.size() - 3; i < m_samples.size(); ++i)
            settled = std::min(settled, m_samples[i].*figure.member);
        if (settled > baseline * 1.01) {
            char line[160];
            _snprintf(line, sizeof line, "%s%s grew from %.0f to %.0f after warm-up", text.empty() ? "" : "; ",
                      figure.name, baseline / figure.unit, settled / figure.unit);
            line[sizeof line - 1] = 0;
            text += line;
        }
    }
    return text;
}

bool CSampleSeries::Report(double minutes) const
{
    size_t warmup = size_t(std::max(60.0, minutes * 12.0) / (m_interval / 1000.0));
    std::string growth = Growth(warmup);
    std::printf("samples every %lu s: %s\n", m_interval / 1000, Figures().c_str());
    std::printf("growth after warm-up (%zu samples): %s\n", warmup, growth.empty() ? "none" : growth.c_str());
    return growth.empty();
}
