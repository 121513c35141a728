#pragma once
#include "Stopwatch.h"
#include "SimDevice.h"
#include <string>
#include <vector>

// Every device of one segment behind one line: takes requests as they came over the wire and
// gives back the wire bytes of the reply, with the faults asked for.
class CSimulator {
public:
    struct Answer {
        std::string bytes;  // empty: silence
        int delayMs = 0;
    };

    explicit CSimulator(const SimSegmentConfig& config);
    CSimDevice* Find(const std::wstring& address);
    double Seconds() const { return m_clock.Milliseconds() / 1000.0; }
    bool Dcon() const { return m_config.dcon; }

    // A DCON command line. strict: it must end in "\r" and, with the checksum on, carry a good
    // checksum (a pipe may bring the bare command text instead).
    Answer HandleDcon(const std::string& line, bool strict);
    Answer HandleModbus(const std::string& frame);
    // A pipe message: a Modbus frame when it ends in its own CRC, else a DCON line.
    Answer HandleMessage(const std::string& message);

    // The length of the complete Modbus request at the start of a received stream; 0 while
    // it is incomplete or of unknown length (the caller then waits for a pause).
    static size_t ModbusRequestLength(const std::string& received);
    static bool HasGoodCrc(const std::string& frame);

private:
    Answer Faulted(CSimDevice& device, std::string reply, bool modbus, const std::vector<uint8_t>& request);
    std::string FrameDcon(const std::string& text) const;

    SimSegmentConfig m_config;
    std::vector<CSimDevice> m_devices;
    CStopwatch m_clock;
};
