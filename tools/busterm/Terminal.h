#pragma once
#include "ConsoleColor.h"
#include "Rs485Port.h"
#include "TerminalCommand.h"
#include <cstdio>
#include <string>

// The command loop: reads typed lines, acts on the serial line or sends them to the module.
class CTerminal {
public:
    CTerminal(CRs485Port& port, CConsoleColor& colour) : m_port(port), m_colour(colour) {}
    // Runs until EXIT or the end of the input; returns the program's exit code.
    int Run(FILE* input);

private:
    // False when the loop is to end.
    bool Execute(const std::wstring& line);
    void PrintBanner();
    void PrintResult(bool ok, const wchar_t* success);
    void EscapeLine(DWORD function);
    void ShowErrors();
    void SendRaw(const std::wstring& line);
    void Repeat(const std::wstring& line);
    void SayIfReplyCut();
    void Scan(const ScanRequest& request);

    CRs485Port& m_port;
    CConsoleColor& m_colour;
    FILE* m_input = nullptr;
};
