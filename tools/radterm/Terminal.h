#pragma once
#include "ModemPort.h"
#include "TerminalCommand.h"
#include <string>

// The console of the radio-modem terminal: the port dialogue and the command loop.
class CTerminal {
public:
    CTerminal();
    // Runs until EXIT (or the end of the input); the program's exit code.
    int Run();

private:
    void AskPort();
    bool Execute(const std::wstring& line);
    void ChangeSpeed(const std::wstring& line);
    void LineControl(Command command);
    void Repeat(const std::wstring& line);
    void Hayes(const std::wstring& line);
    void SendFile();
    void FlatSend(std::wstring line);
    void PrintResult(bool ok);

    CModemPort m_port;
    bool m_checksum = false;
};
