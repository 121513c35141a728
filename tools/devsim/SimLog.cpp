#include "SimLog.h"
#include <cstdio>

bool CSimLog::Open(const std::wstring& path)
{
    m_file.Attach(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file.IsValid();
}

void CSimLog::Line(const std::string& text)
{
    if (!m_file.IsValid())
        return;
    std::string line = text + "\n";
    DWORD written = 0;
    ::WriteFile(m_file, line.data(), DWORD(line.size()), &written, nullptr);
}

std::string CSimLog::Render(const std::string& bytes, bool binary)
{
    if (bytes.empty())
        return "-";
    std::string text;
    char hex[8];
    for (unsigned char c : bytes) {
        if (binary) {
            _snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", c);
            text += hex;
        } else if (c == '\r') {
            text += "\\r";
        } else if (c < 0x20 || c >= 0x7F || c == '\\') {
            _snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        } else {
            text += char(c);
        }
    }
    return text;
}

void CSimLog::Exchange(double seconds, double waitedMs, const std::string& request, const std::string& reply,
                      bool binary, const std::string& fault)
{
    char time[32], waited[32];
    _snprintf(time, sizeof time, "%.3f", seconds);
    time[sizeof time - 1] = 0;
    _snprintf(waited, sizeof waited, "%.1f", waitedMs);
    waited[sizeof waited - 1] = 0;
    Line(std::string(time) + "\t" + Render(request, binary) + "\t" + Render(reply, binary) + "\t" + waited +
         (fault.empty() ? "" : "\t" + fault));
}
