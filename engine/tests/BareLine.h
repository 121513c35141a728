#pragma once
#include "SerialPort.h"
#include "TimerResolution.h"
#include <string>
#include <vector>

// The floor an exchange is measured against: the host end of a line opened with the engine's
// settings, time-outs and system timer, and an exchange that only writes, waits the delay and
// reads what has arrived, on the calling thread.
class CBareLine {
public:
    explicit CBareLine(const std::wstring& portId);
    bool IsOpen() const { return m_port.IsOpen(); }
    // One write, wait and read; the milliseconds it took, the bytes read into `reply`.
    double Exchange(const std::string& request, int delay, std::string& reply);

private:
    CTimerResolution m_fineTimer;
    CSerialPort m_port;
};

// Rounds of the requests, one after another, on every line at once, each line on a thread of its
// own (as the segments of a pass run): the milliseconds of each round, that of its slowest line.
std::vector<double> ParallelRounds(const std::vector<CBareLine*>& lines, const std::vector<std::string>& requests,
                                   int delay, int count);

// A DCON command as the wire carries it with the checksum on.
std::string DconWireLine(const std::string& command);
