#pragma once
#include "Handle.h"
#include <string>
#include <utility>
#include <vector>

// The pty pairs the rig made for this test (RIG_PAIRS, "3:4 5:6").
std::vector<std::pair<int, int>> RigPairs();
std::wstring ComName(int number);
// The parts of a text between separators (devsim's log: lines, and fields between tabs).
std::vector<std::string> Split(const std::string& text, char separator);

// devsim.exe from the test's bin folder, started on a configuration text and stopped when the
// object goes. Its log is read to see what went over the line.
class CDevsim {
public:
    CDevsim(const std::string& configXml, const std::wstring& segment, const std::wstring& port,
            const std::wstring& options = L"");
    ~CDevsim();
    CDevsim(const CDevsim&) = delete;
    CDevsim& operator=(const CDevsim&) = delete;

    // Waits until devsim has its port (or pipe) ready; false when it ended or took too long.
    bool Ready(unsigned milliseconds = 30000);
    // The request column of every logged exchange, and the reply column.
    std::vector<std::string> Requests() const { return Column(1); }
    std::vector<std::string> Replies() const { return Column(2); }
    // The fault injected into every logged reply ("" for none).
    std::vector<std::string> Faults() const { return Column(4); }
    const std::wstring& LogPath() const { return m_log; }
    // Waits until at least count exchanges are logged.
    bool WaitForRequests(size_t count, unsigned milliseconds = 10000) const;

private:
    std::vector<std::vector<std::string>> Exchanges() const;
    std::vector<std::string> Column(size_t index) const;
    std::string ReadLog() const;

    std::wstring m_config;
    std::wstring m_log;
    CHandle m_process;
};

// A DCON line as the wire carries it, with "\r" for the carriage return (devsim's log form).
std::string LoggedLine(const std::string& command, bool checksum);
