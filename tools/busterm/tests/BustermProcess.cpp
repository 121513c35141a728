#include "BustermProcess.h"
#include "PipedProcess.h"
#include "TextConv.h"
#include <algorithm>

std::string ProgramFolderPath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/"));
}

CBustermProcess::~CBustermProcess()
{
    if (m_info.hProcess) {
        m_input.Close();
        if (::WaitForSingleObject(m_info.hProcess, 5000) == WAIT_TIMEOUT)
            ::TerminateProcess(m_info.hProcess, 1);
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
}

bool CBustermProcess::Start()
{
    return StartWithPipes(AnsiToWide("\"" + ProgramFolderPath() + "\\busterm.exe\""), CREATE_NO_WINDOW, m_info,
                          m_input, m_output);
}

void CBustermProcess::Type(const std::string& line)
{
    std::string bytes = line + "\n";
    DWORD written = 0;
    ::WriteFile(m_input, bytes.data(), DWORD(bytes.size()), &written, nullptr);
}

std::string CBustermProcess::Command(const std::string& line, int lines)
{
    Type(line);
    return ReadLines(lines);
}

bool CBustermProcess::Pull()
{
    DWORD available = 0;
    if (!::PeekNamedPipe(m_output, nullptr, 0, nullptr, &available, nullptr) || available == 0)
        return false;
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!::ReadFile(m_output, &chunk[0], available, &got, nullptr))
        return false;
    m_pending.append(chunk, 0, got);
    // Each "\r\n" once back to "\n"; a "\r" at the end waits for the next chunk.
    for (size_t at = m_scanned; (at = m_pending.find("\r\n", at)) != std::string::npos; ++at)
        m_pending.erase(at, 1);
    m_scanned = m_pending.size();
    if (m_scanned > 0 && m_pending.back() == '\r')
        --m_scanned;
    return got > 0;
}

std::string CBustermProcess::ReadLines(int lines, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        size_t end = 0;
        int found = 0;
        while (found < lines && (end = m_pending.find('\n', end)) != std::string::npos) {
            ++found;
            ++end;
        }
        if (found == lines || ::GetTickCount() - start > milliseconds) {
            size_t take = found == lines ? end : m_pending.size();
            std::string text = m_pending.substr(0, take);
            m_pending.erase(0, take);
            m_scanned -= std::min(m_scanned, take);
            return text;
        }
        if (!Pull())
            ::Sleep(5);
    }
}

std::string CBustermProcess::ReadToEnd(int& exitCode, DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    exitCode = -1;
    while (::GetTickCount() - start < milliseconds) {
        bool ended = ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
        if (!Pull()) {
            if (ended)
                break;
            ::Sleep(5);
        }
    }
    DWORD code = 0;
    if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0 && ::GetExitCodeProcess(m_info.hProcess, &code))
        exitCode = int(code);
    std::string text;
    text.swap(m_pending);
    m_scanned = 0;
    return text;
}
