#include "FuzzRun.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
CFuzzRun* g_run = nullptr;  // for the crash report
}

CFuzzRun::CFuzzRun(int argc, char** argv, long defaultCount, unsigned defaultSeed, DWORD hangMs)
    : m_count(defaultCount), m_seed(defaultSeed), m_hangMs(hangMs)
{
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "--count") == 0)
            m_count = std::strtol(argv[++i], nullptr, 10);
        else if (i + 1 < argc && std::strcmp(argv[i], "--seed") == 0)
            m_seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (i + 1 < argc && std::strcmp(argv[i], "--first") == 0)
            m_first = std::strtol(argv[++i], nullptr, 10);
        else
            m_files.push_back(argv[i]);
    }
    g_run = this;
    ::SetUnhandledExceptionFilter(OnCrash);
    m_watchdog = std::thread(&CFuzzRun::Watch, this);
}

CFuzzRun::~CFuzzRun()
{
    m_stop.Set();
    m_watchdog.join();
    g_run = nullptr;
}

std::mt19937 CFuzzRun::Generator(long index) const
{
    std::seed_seq seq{m_seed, unsigned(index)};
    return std::mt19937(seq);
}

void CFuzzRun::Working(long index)
{
    m_since = ::GetTickCount();
    m_current = index;
}

void CFuzzRun::Fail(long index, const std::string& what)
{
    ++m_failures;
    std::printf("FAIL input %ld (again: --seed %u --first %ld --count 1): %s\n", index, m_seed, index, what.c_str());
    std::fflush(stdout);
}

int CFuzzRun::Finish(const std::string& figures)
{
    std::printf("%s; %ld inputs in %.1f s, seed %u, first %ld: %s\n", figures.c_str(), m_count, Seconds(), m_seed,
                m_first, m_failures ? "FAILED" : "ok");
    std::fflush(stdout);
    return m_failures ? 1 : 0;
}

void CFuzzRun::Watch()
{
    while (::WaitForSingleObject(m_stop, 500) == WAIT_TIMEOUT) {
        long index = m_current;
        if (index >= 0 && ::GetTickCount() - m_since > m_hangMs) {
            std::printf("HANG input %ld (again: --seed %u --first %ld --count 1): no end after %lu ms\n", index,
                        m_seed, index, static_cast<unsigned long>(m_hangMs));
            std::fflush(stdout);
            ::ExitProcess(3);
        }
    }
}

LONG WINAPI CFuzzRun::OnCrash(EXCEPTION_POINTERS* info)
{
    if (g_run) {
        long index = g_run->m_current;
        std::printf("CRASH 0x%08lX on input %ld (again: --seed %u --first %ld --count 1)\n",
                    static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), index, g_run->m_seed, index);
        std::fflush(stdout);
    }
    return EXCEPTION_EXECUTE_HANDLER;  // ends the process with the exception code
}
