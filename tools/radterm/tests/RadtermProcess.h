#pragma once
#include "CriticalSection.h"
#include "Handle.h"
#include <windows.h>
#include <string>

// radterm.exe started with its standard input and output on pipes.
class CRadtermProcess {
public:
    CRadtermProcess();
    ~CRadtermProcess();
    CRadtermProcess(const CRadtermProcess&) = delete;
    CRadtermProcess& operator=(const CRadtermProcess&) = delete;

    bool Started() const { return m_process.IsValid(); }
    DWORD ProcessId() const { return m_id; }
    // Ctrl+C to every process on the console of the test (see ShareNewConsole).
    static bool Break();
    void Type(const std::string& line);  // a line feed is added
    void CloseInput();
    // Waits until the output holds `text` (after `from`); its position, or npos.
    size_t WaitFor(const std::string& text, DWORD milliseconds, size_t from = 0);
    // Everything printed so far, with the runtime's "\r\n" turned back into "\n".
    std::string Output();
    // The exit code, or -1 when the process did not end within the time.
    int WaitExit(DWORD milliseconds);
    // Answers the port dialogue (an empty definition takes the default) and waits for the
    // port to be reported open; false when it was not.
    bool ChoosePort(const std::string& port, const std::string& dcb = "");

private:
    static DWORD WINAPI ReaderThread(void* self);
    void ReadOutput();

    CHandle m_process;
    DWORD m_id = 0;
    CHandle m_input;
    CHandle m_output;
    CCriticalSection m_lock;
    std::string m_text;
    CHandle m_reader;
};

// Gives the test a console of its own that the radterm processes started later share, and
// makes the test itself ignore Ctrl+C.
bool ShareNewConsole();

// "\\.\COMn" of one end of the rig's first pty pair (0 or 1); empty without a pair.
std::string RigPort(int end);
