#pragma once
#include "SimConfig.h"
#include "SimWave.h"
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

// A fault the operator asked for; count < 0 keeps it for good, else it clears after count requests.
struct SimFault {
    enum Kind { None, Silent, BadSum, Late, Garbage, Exception, Cut, Split } kind = None;
    int ms = 0;     // late: how late; split: the pause between the reply's two halves
    int bytes = 0;  // cut: how many bytes the reply loses at its end
    int count = -1;

    // The name in the log: "silent", "badsum", "late:100", "cut:3", "split:5", ...
    std::string Name(bool modbus) const;
};

// One simulated device: the state behind the replies and the replies themselves. DCON texts
// here carry neither checksum nor carriage return; Modbus frames carry no CRC.
class CSimDevice {
public:
    enum Kind { DigitalIn, DigitalOut, DigitalInOut, Counter, Analog, Iva8, Rrg12 };

    explicit CSimDevice(const SimDeviceConfig& config);
    bool Known() const { return m_known; }
    bool IsModbus() const { return m_kind == Iva8 || m_kind == Rrg12; }
    const std::wstring& Address() const { return m_address; }
    const std::wstring& Keyword() const { return m_keyword; }
    bool Lrc() const { return m_lrc; }
    // Whether the device takes bytes that come at this line speed for a request: bytes at
    // another speed are noise to it. 0 stands for a line of no speed (a pipe).
    bool Hears(unsigned lineBaud) const { return lineBaud == 0 || m_baud == 0 || lineBaud == m_baud; }

    // The reply to a command addressed to this device; empty for silence.
    std::string AnswerDcon(const std::string& command, double seconds);
    // Whether a frame (address, function, ...) is meant for this device.
    bool Accepts(const std::vector<uint8_t>& frame) const;
    std::vector<uint8_t> AnswerModbus(const std::vector<uint8_t>& frame, double seconds);

    // --set: digital input status (hex), counter (decimal), analog values ("1.25:-0.5"), IVA-8
    // reading (decimal, or "0x012C" for the raw bytes 8 and 9), RRG-12 registers 4 and 5 ("10:1").
    bool Set(const std::string& value);
    // New readings of every kind at random (the device's kind picks which it reports), so that
    // each reply carries values its predecessor did not.
    void Vary(std::mt19937& random);
    // --wave: the input swings around its value (analog inputs, the IVA-8 reading, the RRG-12
    // registers 4 and 5), or a digital input flips with the wave; channel -1: every input.
    // False for a device or channel with no such input.
    bool SetWave(int channel, const SimWave& wave);

    SimFault fault;

private:
    std::string DigitalStatus(double seconds) const;
    std::string AnalogFields(const std::string& channel, double seconds);
    float AnalogValue(size_t i, double seconds);
    std::string Configuration() const;
    // The wave's swing of a channel at that time; 0 for a channel without a wave.
    double Swing(int channel, double seconds);
    uint32_t FlippedInputs(double seconds) const;
    uint16_t Register(unsigned reg, double seconds);
    std::string Ok() const;

    Kind m_kind = DigitalIn;
    bool m_known = false;
    std::wstring m_keyword, m_address;
    std::string m_addressText;
    unsigned m_baud = 0;
    bool m_lrc = false;
    int m_inputs = 0, m_outputs = 0;
    uint32_t m_inputStatus = 0, m_outputStatus = 0;
    bool m_counterFixed = false;
    unsigned m_counter = 0;
    std::vector<float> m_analog;  // fixed values; empty: the slow waveform
    std::string m_range;  // analog input type, "08" = ±10 V
    uint8_t m_iva[2] = {0x41, 0x2C};
    uint16_t m_registers[16] = {};
    std::map<int, SimWave> m_waves;  // by input channel
    std::mt19937 m_noise;
};
