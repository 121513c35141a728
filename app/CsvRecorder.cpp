#include "CsvRecorder.h"
#include "Handle.h"
#include <windows.h>
#include <algorithm>
#include <iterator>

namespace {
// A long backlog goes to its file in pieces of about this size, not as one second copy of itself.
constexpr size_t kChunk = 1 << 20;

// Beside the count of held lines: how many were dropped beyond the limit, when any were.
std::wstring DroppedNote(size_t dropped)
{
    return dropped == 0 ? L"" : L", потеряно: " + std::to_wstring(dropped);
}
}  // namespace

void CHeldText::Add(uint64_t serial, std::string line)
{
    m_wholeBytes += line.size();
    m_lines.push_back({serial, std::move(line)});
}

size_t CHeldText::DropOldestLine()
{
    const size_t bytes = m_lines.front().text.size();
    m_wholeBytes -= bytes;
    m_lines.pop_front();
    return bytes;
}

std::string CHeldText::Chunk(size_t limit) const
{
    std::string chunk = m_begun;
    for (size_t i = 0; i < m_lines.size() && chunk.size() < limit; ++i)
        chunk += m_lines[i].text;
    return chunk;
}

void CHeldText::Take(size_t written)
{
    const size_t fromBegun = std::min(written, m_begun.size());
    m_begun.erase(0, fromBegun);
    written -= fromBegun;
    while (written > 0 && !m_lines.empty()) {
        const std::string& text = m_lines.front().text;
        if (written < text.size())
            m_begun = text.substr(written);
        written -= std::min(written, text.size());
        DropOldestLine();
    }
}

CCsvRecorder::CCsvRecorder(Clock clock, size_t heldByteLimit) : m_clock(std::move(clock)), m_heldByteLimit(heldByteLimit)
{
}

void CCsvRecorder::WriteCsvLine(const char* format, const CVariableList& variables)
{
    // One reading of the clock, so a line never lands in the file of the hour before its time stamp.
    const boost::posix_time::ptime now = m_clock();
    m_fileName = CsvFileName(now, format);
    std::string line = CsvDataLine(now, variables);
    m_heldBytes += line.size();
    m_held[m_fileName].Add(m_serial++, std::move(line));
    Flush(variables);
    while (m_heldBytes > m_heldByteLimit)
        DropOldest();
}

bool CCsvRecorder::Flush(const CVariableList& variables)
{
    for (auto it = m_held.begin(); it != m_held.end();) {
        const size_t before = it->second.WholeBytes();
        Write(it->first, it->second, variables);
        m_heldBytes -= before - it->second.WholeBytes();
        it = it->second.Count() == 0 ? m_held.erase(it) : std::next(it);
    }
    return m_held.empty();
}

size_t CCsvRecorder::PendingLines() const
{
    size_t count = 0;
    for (const auto& file : m_held)
        count += file.second.Count();
    return count;
}

// The drop count stays after the held lines are written: the lines it counts are in no file.
std::wstring CCsvRecorder::StatusText() const
{
    const size_t pending = PendingLines();
    if (pending == 0 && m_droppedLines == 0)
        return m_fileName;
    if (pending == 0)
        return m_fileName + L" (потеряно строк: " + std::to_wstring(m_droppedLines) + L")";
    return m_fileName + L" (нет доступа, строк в очереди: " + std::to_wstring(pending) + DroppedNote(m_droppedLines) +
           L")";
}

std::wstring CCsvRecorder::PendingReport() const
{
    std::wstring report;
    for (const auto& file : m_held) {
        const auto dropped = m_droppedFrom.find(file.first);
        report += L"Нет доступа к файлу записи " + file.first + L", строк в очереди: " +
                  std::to_wstring(file.second.Count()) +
                  DroppedNote(dropped == m_droppedFrom.end() ? 0 : dropped->second) + L"\n";
    }
    return report;
}

// Appends the held text of one file, a new (empty) file getting the header first. Opened with
// full sharing and closed at once. What the file does not take stays held.
void CCsvRecorder::Write(const std::wstring& file, CHeldText& held, const CVariableList& variables)
{
    CHandle h(::CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!h.IsValid() || !::GetFileSizeEx(h, &size))
        return;
    if (size.QuadPart == 0)
        held.StartFile(CsvHeaderLine(variables));
    while (held.Count() > 0) {
        const std::string chunk = held.Chunk(kChunk);
        DWORD written = 0;
        const bool ok = ::WriteFile(h, chunk.data(), DWORD(chunk.size()), &written, nullptr);
        held.Take(written);
        if (!ok || written < chunk.size())
            return;
    }
}

void CCsvRecorder::DropOldest()
{
    auto oldest = m_held.end();
    for (auto it = m_held.begin(); it != m_held.end(); ++it)
        if (it->second.WholeLines() > 0 &&
            (oldest == m_held.end() || it->second.OldestSerial() < oldest->second.OldestSerial()))
            oldest = it;
    m_heldBytes -= oldest->second.DropOldestLine();
    ++m_droppedFrom[oldest->first];
    ++m_droppedLines;
    if (oldest->second.Count() == 0)
        m_held.erase(oldest);
}
