#pragma once
#include "Stopwatch.h"
#include "SimDevice.h"
#include <random>
#include <string>
#include <vector>

// Every device of one segment behind one line: takes requests as they came over the wire and
// gives back the wire bytes of the reply, with the faults asked for.
class CSimulator {
public:
    struct Answer {
        std::string bytes;  // empty: silence
        int delayMs = 0;
        int splitMs = 0;  // > 0: the second half goes out this long after the first
        std::string fault;  // the fault injected into this reply, by name; empty for none
    };

    explicit CSimulator(const SimSegmentConfig& config);
    CSimDevice* Find(const std::wstring& address);
    double Seconds() const { return m_clock.Milliseconds() / 1000.0; }
    bool Dcon() const { return m_config.dcon; }
    // Faults at random: each reply a device would give gets one with this share (0 to 1), of a
    // kind the segment can show; a late one comes lateMs late. Faults asked for by --fault go first.
    void SetRandomFaults(double share, int lateMs) { m_faultShare = share, m_lateMs = lateMs; }
    // Every reply carries new random readings.
    void SetRandomValues(bool on) { m_randomValues = on; }
    void Seed(unsigned seed) { m_random.seed(seed); }

    // A DCON command line. strict: it must end in "\r" and, with the checksum on, carry a good
    // checksum (a pipe may bring the bare command text instead). lineBaud: the speed the line
    // ran at while it came (0: a pipe); only a device at that speed hears it.
    Answer HandleDcon(const std::string& line, bool strict, unsigned lineBaud);
    Answer HandleModbus(const std::string& frame, unsigned lineBaud);
    // A pipe message: a Modbus frame when it ends in its own CRC, else a DCON line.
    Answer HandleMessage(const std::string& message);

    // The length of the complete Modbus request at the start of a received stream; 0 while
    // it is incomplete or of unknown length (the caller then waits for a pause).
    static size_t ModbusRequestLength(const std::string& received);
    static bool HasGoodCrc(const std::string& frame);

private:
    Answer Faulted(CSimDevice& device, std::string reply, bool modbus, const std::vector<uint8_t>& request);
    SimFault TakeFault(CSimDevice& device, bool modbus);
    CSimDevice* Vary(CSimDevice* device);
    static bool CommandFor(const CSimDevice& device, const std::string& text, bool strict, std::string& command);
    static std::string FrameDcon(const std::string& text, bool lrc);

    SimSegmentConfig m_config;
    std::vector<CSimDevice> m_devices;
    CStopwatch m_clock;
    std::mt19937 m_random;
    double m_faultShare = 0.0;
    int m_lateMs = 100;
    bool m_randomValues = false;
};
