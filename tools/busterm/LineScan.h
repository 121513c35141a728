#pragma once
#include "InputWatch.h"
#include "Rs485Port.h"
#include "ScanReport.h"
#include "TerminalCommand.h"
#include <string>
#include <vector>

// SCAN: asks each address for its module's name ("$AAM") with the checksum off and on, at the
// port's speed or at every speed the modules have, and each module that answers for its
// configuration ("$AA2"). Shows its progress on one console line and each module as it answers.
// The port's settings and checksum mode are those of before when it ends.
class CLineScan {
public:
    CLineScan(CRs485Port& port, CInputWatch& watch) : m_port(port), m_watch(watch) {}
    // False when the technician stopped it; what was found until then is kept.
    bool Run(const ScanRequest& request);
    const std::vector<FoundModule>& Found() const { return m_found; }

private:
    bool ScanAt(const std::wstring& dcb, const ScanRequest& request);
    void Probe(const std::wstring& address, bool checksum, const std::wstring& dcb);
    // The reply when the module at that address answered as itself ("!AA..."); else empty.
    std::wstring Ask(const std::wstring& address, const wchar_t* body);
    void ShowProgress(const std::wstring& dcb, unsigned address, bool checksum);
    void ClearProgress();

    CRs485Port& m_port;
    CInputWatch& m_watch;
    std::vector<FoundModule> m_found;
};
