#include "BareLine.h"
#include "DconFraming.h"
#include "Stopwatch.h"
#include <algorithm>

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

double WireFloor(CBareLine& line, const std::vector<std::string>& requests, int delay, unsigned baud,
                 double turnaroundMs)
{
    double floor = 0;
    std::string reply;
    for (const std::string& request : requests) {
        line.Exchange(request, delay, reply);
        if (reply.empty())
            return 0;
        floor += double(request.size() + reply.size()) * 10 * 1000 / baud + turnaroundMs;
    }
    return floor;
}

std::string DconWireLine(const std::string& command)
{
    char digits[8];
    _snprintf(digits, sizeof digits, "%02X", DconChecksum(command));
    return command + std::string(digits, 2) + "\r";
}
