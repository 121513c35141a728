#include "RadtermProcess.h"
#include "PipedProcess.h"
#include <cstdlib>
#include <cstdio>

CRadtermProcess::CRadtermProcess()
{
    PROCESS_INFORMATION info{};
    if (!StartWithPipes(L"radterm.exe", 0, info, m_input, m_output))
        return;
    ::CloseHandle(info.hThread);
    m_process.Attach(info.hProcess);
    m_id = info.dwProcessId;
    m_reader.Attach(::CreateThread(nullptr, 0, ReaderThread, this, 0, nullptr));
}

CRadtermProcess::~CRadtermProcess()
{
    if (m_process.IsValid() && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(m_process, 1);
    // The pipe stays open while anything else holds the child's end (a console host can).
    if (m_reader.IsValid() && ::WaitForSingleObject(m_reader, 5000) == WAIT_TIMEOUT) {
        ::CancelSynchronousIo(m_reader);
        ::WaitForSingleObject(m_reader, 5000);
    }
}

DWORD WINAPI CRadtermProcess::ReaderThread(void* self)
{
    static_cast<CRadtermProcess*>(self)->ReadOutput();
    return 0;
}

void CRadtermProcess::ReadOutput()
{
    char buffer[4096];
    DWORD count = 0;
    while (::ReadFile(m_output, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        CScopedLock lock(m_lock);
        m_text.append(buffer, count);
    }
}

void CRadtermProcess::Type(const std::string& line)
{
    std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(m_input, text.data(), DWORD(text.size()), &written, nullptr);
}

bool CRadtermProcess::Break()
{
    return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != FALSE;
}

void CRadtermProcess::CloseInput()
{
    m_input.Close();
}

std::string CRadtermProcess::Output()
{
    std::string text;
    {
        CScopedLock lock(m_lock);
        text = m_text;
    }
    // The C runtime writes "\r\n" for every line feed into a pipe.
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

size_t CRadtermProcess::WaitFor(const std::string& text, DWORD milliseconds, size_t from)
{
    DWORD start = ::GetTickCount();
    do {
        size_t at = Output().find(text, from);
        if (at != std::string::npos)
            return at;
        ::Sleep(20);
    } while (::GetTickCount() - start < milliseconds);
    return std::string::npos;
}

int CRadtermProcess::WaitExit(DWORD milliseconds)
{
    if (::WaitForSingleObject(m_process, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    return int(code);
}

bool CRadtermProcess::ChoosePort(const std::string& port, const std::string& dcb)
{
    const DWORD kStart = 30000;  // Wine start-up on a loaded machine
    size_t from = Output().size();
    Type(port);
    Type(dcb);
    std::string settings = dcb.empty() ? "19200,n,8,1" : dcb;
    return WaitFor("Modem successfuly reconfigured to " + port + " (\"" + settings + "\")\n", kStart, from) !=
           std::string::npos;
}

std::string RigPort(int end)
{
    const char* pairs = std::getenv("RIG_PAIRS");
    int a = 0, b = 0;
    if (!pairs || std::sscanf(pairs, "%d:%d", &a, &b) != 2)
        return {};
    return "\\\\.\\COM" + std::to_string(end == 0 ? a : b);
}

namespace {
BOOL WINAPI IgnoreCtrlC(DWORD)
{
    return TRUE;
}
}  // namespace

bool ShareNewConsole()
{
    // Under Wine a program started without a terminal has a console object that cannot carry
    // console events; a new one can. A handler (not the inherited "ignore" flag) keeps the
    // children's own Ctrl+C handling as it is.
    ::FreeConsole();
    return ::AllocConsole() && ::SetConsoleCtrlHandler(IgnoreCtrlC, TRUE);
}
