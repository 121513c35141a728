#include "CsvRecorder.h"
#include "Handle.h"
#include <windows.h>
#include <cwchar>
#include <map>
#include <set>
#include <vector>

CCsvRecorder::CCsvRecorder(Clock clock, size_t pendingLimit) : m_clock(std::move(clock)), m_pendingLimit(pendingLimit)
{
}

void CCsvRecorder::WriteCsvLine(const char* format, const CVariableList& variables)
{
    // One reading of the clock, so a line never lands in the file of the hour before its time stamp.
    const boost::posix_time::ptime now = m_clock();
    m_fileName = CsvFileName(now, format);
    m_pending.push_back({m_fileName, CsvDataLine(now, variables)});
    Flush(variables);
    while (m_pending.size() > m_pendingLimit)
        m_pending.pop_front();
}

std::wstring CCsvRecorder::StatusText() const
{
    if (m_pending.empty())
        return m_fileName;
    wchar_t note[80];
    ::_snwprintf(note, 80, L" (нет доступа, строк в очереди: %u)", unsigned(m_pending.size()));
    note[79] = L'\0';
    return m_fileName + note;
}

// Writes the waiting lines file by file; a file that does not open keeps its lines, in order,
// without holding back the lines of other files.
void CCsvRecorder::Flush(const CVariableList& variables)
{
    std::vector<std::wstring> files;  // in the order of their first line
    std::map<std::wstring, std::string> text;
    for (const Line& line : m_pending) {
        auto [it, added] = text.try_emplace(line.file);
        if (added)
            files.push_back(line.file);
        it->second += line.text;
    }
    const std::string header = CsvHeaderLine(variables);
    std::set<std::wstring> failed;
    for (const std::wstring& file : files)
        if (!Append(file, header, text[file]))
            failed.insert(file);
    std::deque<Line> kept;
    for (Line& line : m_pending)
        if (failed.count(line.file))
            kept.push_back(std::move(line));
    m_pending.swap(kept);
}

// A new (empty) file gets the header first. Opened with full sharing, closed at once.
bool CCsvRecorder::Append(const std::wstring& file, const std::string& header, const std::string& lines)
{
    CHandle h(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.IsValid())
        return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(h, &size))
        return false;
    const std::string text = size.QuadPart == 0 ? header + lines : lines;
    DWORD written = 0;
    return ::WriteFile(h, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}
