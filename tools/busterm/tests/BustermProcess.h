#pragma once
#include "Handle.h"
#include <windows.h>
#include <string>

// busterm.exe started with its standard input and output on pipes, as a technician's session
// typed from a script. Output is kept as bytes with the console's "\r\n" line ends turned back
// into "\n".
class CBustermProcess {
public:
    ~CBustermProcess();
    bool Start();
    // Sends one typed line (a line feed is added).
    void Type(const std::string& line);
    // Sends the line and returns what it printed: the given number of lines.
    std::string Command(const std::string& line, int lines = 1);
    // Output up to and including the given number of further line ends, or what came before
    // the time ran out.
    std::string ReadLines(int lines, DWORD milliseconds = 20000);
    // Ends the input, as a closed terminal or the end of a script does.
    void CloseInput() { m_input.Close(); }
    // Everything printed until the program ended, and its exit code (-1: still running).
    std::string ReadToEnd(int& exitCode, DWORD milliseconds = 20000);

private:
    bool Pull();  // false when nothing came

    PROCESS_INFORMATION m_info{};
    CHandle m_input;
    CHandle m_output;
    std::string m_pending;
    size_t m_scanned = 0;  // line ends before this point are converted
};

std::string ProgramFolderPath();
