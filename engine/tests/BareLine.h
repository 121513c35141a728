#pragma once
#include "SerialPort.h"
#include "TimerResolution.h"
#include <string>
#include <vector>

// The host end of a line opened with the engine's settings, time-outs and system timer, and an
// exchange that only writes, waits the delay and reads what has arrived, on the calling thread.
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

// The line's own floor of some exchanges at its speed: their requests' and replies' bytes at 10
// bits a byte, plus the device's turnaround for each. The replies are learnt from one bare
// exchange each on `line`; 0 when one of them got no reply.
double WireFloor(CBareLine& line, const std::vector<std::string>& requests, int delay, unsigned baud,
                 double turnaroundMs);

// A DCON command as the wire carries it with the checksum on.
std::string DconWireLine(const std::string& command);
