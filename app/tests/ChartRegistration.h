#pragma once
#include <string>

// Registers the chart control (regsvr32 /s norvctrl.dll from the bin folder) for one test and
// leaves the registration as it found it. Such a test must not run beside the registration test.
class CChartRegistration {
public:
    CChartRegistration();
    ~CChartRegistration();
    CChartRegistration(const CChartRegistration&) = delete;
    CChartRegistration& operator=(const CChartRegistration&) = delete;
    int Result() const { return m_result; }  // regsvr32's exit code

private:
    bool m_wasRegistered;
    int m_result;
};
