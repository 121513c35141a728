#include "BareLine.h"
#include "DconFraming.h"
#include "Stopwatch.h"
#include <algorithm>
#include <cstdio>
#include <process.h>

CBareLine::CBareLine(const std::wstring& portId)
{
    if (m_port.Open(portId) && !m_port.Configure({L"9600,n,8,1"}))
        m_port.Close();
}

double CBareLine::Exchange(const std::string& request, int delay, std::string& reply)
{
    reply.clear();
    CStopwatch timer;
    DWORD written = 0, errors = 0, got = 0;
    ::WriteFile(m_port, request.data(), DWORD(request.size()), &written, nullptr);
    ::Sleep(DWORD(delay));
    COMSTAT status{};
    char buffer[512];
    while (::ClearCommError(m_port, &errors, &status) && status.cbInQue > 0 &&
           ::ReadFile(m_port, buffer, std::min(DWORD(sizeof buffer), status.cbInQue), &got, nullptr) && got > 0)
        reply.append(buffer, got);
    return timer.Milliseconds();
}

namespace {
struct SRound {
    CBareLine* line;
    const std::vector<std::string>* requests;
    int delay;
    double milliseconds;
};

unsigned __stdcall RunRound(void* job)
{
    auto* round = static_cast<SRound*>(job);
    std::string reply;
    round->milliseconds = 0;
    for (const std::string& request : *round->requests)
        round->milliseconds += round->line->Exchange(request, round->delay, reply);
    return 0;
}
}  // namespace

std::vector<double> ParallelRounds(const std::vector<CBareLine*>& lines, const std::vector<std::string>& requests,
                                   int delay, int count)
{
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        std::vector<SRound> rounds;
        for (CBareLine* line : lines)
            rounds.push_back({line, &requests, delay, 0});
        std::vector<CHandle> threads;
        std::vector<HANDLE> handles;
        for (SRound& round : rounds) {
            threads.emplace_back(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunRound, &round, 0, nullptr)));
            handles.push_back(threads.back());
        }
        ::WaitForMultipleObjects(DWORD(handles.size()), handles.data(), TRUE, INFINITE);
        double slowest = 0;
        for (const SRound& round : rounds)
            slowest = std::max(slowest, round.milliseconds);
        times.push_back(slowest);
    }
    return times;
}

std::string DconWireLine(const std::string& command)
{
    char digits[8];
    _snprintf(digits, sizeof digits, "%02X", DconChecksum(command));
    return command + std::string(digits, 2) + "\r";
}
