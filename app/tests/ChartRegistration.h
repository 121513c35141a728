#pragma once

// Registers the built norvctrl.dll (regsvr32 /s from the bin folder) for one test and leaves the
// registration as it found it.
class ChartRegistration {
public:
    ChartRegistration();
    ~ChartRegistration();
    int Result() const { return m_result; }  // regsvr32's exit code

private:
    bool m_wasRegistered;
    int m_result;
};
