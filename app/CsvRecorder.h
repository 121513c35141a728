#pragma once
#include "CsvLine.h"
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

// The text held back for one recording file: whole lines in arrival order, and first the
// unwritten rest of a line (or header) that the file already begins.
class CHeldText {
public:
    void Add(uint64_t serial, std::string line);
    // The file is empty, made anew: the header goes first. The rest of a line cut short belonged
    // to the file that is gone and is dropped, so the new file never opens with half a line.
    void StartFile(const std::string& header) { m_begun = header; }
    // What to write next: the begun rest, then whole lines up to about `limit` bytes.
    std::string Chunk(size_t limit) const;
    // Removes what the file took: whole lines go, the rest of a line cut short is begun. So a
    // partial write never makes a line be written twice.
    void Take(size_t written);
    // Returns the bytes the line took.
    size_t DropOldestLine();

    size_t Count() const { return m_lines.size() + (m_begun.empty() ? 0 : 1); }
    size_t WholeLines() const { return m_lines.size(); }
    size_t WholeBytes() const { return m_wholeBytes; }
    uint64_t OldestSerial() const { return m_lines.front().serial; }

private:
    struct Line {
        uint64_t serial;  // arrival order across files, for dropping the oldest
        std::string text;
    };
    std::string m_begun;
    std::deque<Line> m_lines;
    size_t m_wholeBytes = 0;  // of m_lines
};

// Appends one CSV line per display refresh to the file of the day or the hour in the current
// directory. No file stays open between lines, so other programs may read the recording while
// it runs. A line whose file cannot be opened (locked by a spreadsheet, no permission) is held
// and written, in order, as soon as its file opens again (at the next line or the next Flush).
// Held lines take at most `heldByteLimit` bytes; beyond it the oldest go first, and are counted.
class CCsvRecorder {
public:
    using Clock = std::function<boost::posix_time::ptime()>;
    // Bounded in bytes, not lines: a line of a large file takes kilobytes, and a 32-bit process
    // must not run out of memory holding them.
    static constexpr size_t kDefaultHeldByteLimit = size_t(32) << 20;
    static boost::posix_time::ptime LocalTime() { return boost::posix_time::second_clock::local_time(); }

    explicit CCsvRecorder(Clock clock = LocalTime, size_t heldByteLimit = kDefaultHeldByteLimit);

    // Records the values of the variables now; `format` is "%Y.%m.%d" (a file per day) or
    // "%Y.%m.%d %H" (a file per hour).
    void WriteCsvLine(const char* format, const CVariableList& variables);
    // Writes the held lines to the files that open now; true when no line is held any more.
    // The variables give the header of a file that is still empty.
    bool Flush(const CVariableList& variables);

    const std::wstring& FileName() const { return m_fileName; }  // of the latest line
    size_t PendingLines() const;
    // The file name, followed by a short note while lines wait for their file or once lines
    // were dropped.
    std::wstring StatusText() const;
    // One line per file that holds back lines: its name, how many lines wait for it and how many
    // of its lines were dropped.
    std::wstring PendingReport() const;

private:
    static void Write(const std::wstring& file, CHeldText& held, const CVariableList& variables);
    void DropOldest();

    Clock m_clock;
    size_t m_heldByteLimit;
    std::wstring m_fileName;
    std::map<std::wstring, CHeldText> m_held;      // by file name
    std::map<std::wstring, size_t> m_droppedFrom;  // lines dropped, by file name
    uint64_t m_serial = 0;
    size_t m_heldBytes = 0;  // of the whole lines held, over all files
    size_t m_droppedLines = 0;
};
