#include "CsvRecorder.h"
#include "Handle.h"
#include <windows.h>
#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {
// A long backlog goes to its file in pieces of about this size, not as one second copy of itself.
constexpr size_t kChunk = 1 << 20;
}  // namespace

void CHeldText::StartFile(const std::string& header)
{
    if (m_begun.empty())
        m_begun = header;
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
        m_lines.pop_front();
    }
}

CCsvRecorder::CCsvRecorder(Clock clock, size_t pendingLimit) : m_clock(std::move(clock)), m_pendingLimit(pendingLimit)
{
}

void CCsvRecorder::WriteCsvLine(const char* format, const CVariableList& variables)
{
    // One reading of the clock, so a line never lands in the file of the hour before its time stamp.
    const boost::posix_time::ptime now = m_clock();
    m_fileName = CsvFileName(now, format);
    m_held[m_fileName].Add(m_serial++, CsvDataLine(now, variables));
    ++m_lineCount;
    Flush(variables);
    while (m_lineCount > m_pendingLimit)
        DropOldest();
}

bool CCsvRecorder::Flush(const CVariableList& variables)
{
    for (auto it = m_held.begin(); it != m_held.end();) {
        const size_t before = it->second.WholeLines();
        Write(it->first, it->second, variables);
        m_lineCount -= before - it->second.WholeLines();
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

std::wstring CCsvRecorder::StatusText() const
{
    const size_t pending = PendingLines();
    if (pending == 0)
        return m_fileName;
    wchar_t note[80];
    ::_snwprintf(note, 80, L" (нет доступа, строк в очереди: %u)", unsigned(pending));
    note[79] = L'\0';
    return m_fileName + note;
}

std::wstring CCsvRecorder::PendingReport() const
{
    std::wstring report;
    for (const auto& file : m_held)
        report += L"Нет доступа к файлу записи " + file.first + L", строк в очереди: " +
                  std::to_wstring(file.second.Count()) + L"\n";
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
    oldest->second.DropOldestLine();
    --m_lineCount;
    if (oldest->second.Count() == 0)
        m_held.erase(oldest);
}
