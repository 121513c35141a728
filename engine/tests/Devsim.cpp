#include "Devsim.h"
#include "DconFraming.h"
#include "FileBytes.h"
#include "TextConv.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>

std::vector<std::pair<int, int>> RigPairs()
{
    std::vector<std::pair<int, int>> pairs;
    const char* text = std::getenv("RIG_PAIRS");
    std::istringstream in(text ? text : "");
    std::string pair;
    while (in >> pair) {
        size_t colon = pair.find(':');
        if (colon != std::string::npos)
            pairs.emplace_back(std::atoi(pair.c_str()), std::atoi(pair.c_str() + colon + 1));
    }
    return pairs;
}

std::wstring ComName(int number) { return L"COM" + std::to_wstring(number); }

namespace {
std::wstring TempPath(const wchar_t* prefix)
{
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, prefix, 0, path);
    return path;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}
}  // namespace

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

CDevsim::CDevsim(const std::string& configXml, const std::wstring& segment, const std::wstring& port,
                 const std::wstring& options)
    : m_config(TempPath(L"sim")), m_log(TempPath(L"log"))
{
    if (FILE* out = _wfopen(m_config.c_str(), L"wb")) {
        fwrite(configXml.data(), 1, configXml.size(), out);
        fclose(out);
    }
    std::wstring line = L"\"" + ProgramFolder() + L"\\devsim.exe\" \"" + m_config + L"\" " + segment + L" " + port +
                        L" --log \"" + m_log + L"\" " + options;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        m_process.Attach(info.hProcess);
    }
}

CDevsim::~CDevsim()
{
    if (m_process.IsValid()) {
        ::TerminateProcess(m_process, 0);
        ::WaitForSingleObject(m_process, 10000);
    }
    ::DeleteFileW(m_config.c_str());
    ::DeleteFileW(m_log.c_str());
}

std::string CDevsim::ReadLog() const { return ReadFileBytes(m_log); }

bool CDevsim::Ready(unsigned milliseconds)
{
    DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        if (ReadLog().find("# ready") != std::string::npos)
            return true;
        if (!m_process.IsValid() || ::WaitForSingleObject(m_process, 20) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

std::vector<std::vector<std::string>> CDevsim::Exchanges() const
{
    std::vector<std::vector<std::string>> exchanges;
    for (const std::string& line : Split(ReadLog(), '\n'))
        if (!line.empty() && line[0] != '#')
            exchanges.push_back(Split(line, '\t'));
    return exchanges;
}

std::vector<std::string> CDevsim::Column(size_t index) const
{
    std::vector<std::string> column;
    for (const auto& exchange : Exchanges())
        column.push_back(exchange.size() > index ? exchange[index] : "");
    return column;
}

bool CDevsim::WaitForRequests(size_t count, unsigned milliseconds) const
{
    DWORD start = ::GetTickCount();
    do {
        if (Exchanges().size() >= count)
            return true;
        ::Sleep(10);
    } while (::GetTickCount() - start < milliseconds);
    return false;
}

std::string LoggedLine(const std::string& command, bool checksum)
{
    char digits[8];
    _snprintf(digits, sizeof digits, "%02X", DconChecksum(command));
    return command + (checksum ? std::string(digits, 2) : std::string()) + "\\r";
}
