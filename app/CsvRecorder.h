#pragma once
#include "CsvLine.h"
#include <cstddef>
#include <deque>
#include <functional>
#include <string>

// Appends one CSV line per display refresh to the file of the day or the hour in the current
// directory. No file stays open between lines, so other programs may read the recording while
// it runs. A line whose file cannot be opened (locked by a spreadsheet, no permission) is kept
// and written, in order, as soon as its file opens again; at most `pendingLimit` lines are kept,
// the oldest go first.
class CCsvRecorder {
public:
    using Clock = std::function<boost::posix_time::ptime()>;
    static constexpr size_t kDefaultPendingLimit = 86400;  // a day of lines at one per second
    static boost::posix_time::ptime LocalTime() { return boost::posix_time::second_clock::local_time(); }

    explicit CCsvRecorder(Clock clock = LocalTime, size_t pendingLimit = kDefaultPendingLimit);

    // Records the values of the variables now; `format` is "%Y.%m.%d" (a file per day) or
    // "%Y.%m.%d %H" (a file per hour).
    void WriteCsvLine(const char* format, const CVariableList& variables);

    const std::wstring& FileName() const { return m_fileName; }  // of the latest line
    size_t PendingLines() const { return m_pending.size(); }
    // The file name, followed by a short note while lines wait for their file.
    std::wstring StatusText() const;

private:
    struct Line {
        std::wstring file;
        std::string text;
    };
    void Flush(const CVariableList& variables);
    static bool Append(const std::wstring& file, const std::string& header, const std::string& lines);

    Clock m_clock;
    size_t m_pendingLimit;
    std::wstring m_fileName;
    std::deque<Line> m_pending;
};
