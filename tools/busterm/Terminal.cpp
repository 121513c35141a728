#include "Terminal.h"
#include "HelpText.h"
#include "LineReader.h"
#include "LineScan.h"
#include "RepeatCommand.h"

int CTerminal::Run(FILE* input)
{
    m_input = input;
    PrintBanner();
    wprintf(L"%ls", kPortLine);
    fflush(stdout);
    std::wstring line;
    bool running = true;
    while (running) {
        // The end of the input ends the session as EXIT does.
        running = Execute(ReadTerminalLine(input, line) ? UpperCaseLine(line) : std::wstring(L"EXIT"));
        fflush(stdout);
    }
    m_port.Close();
    wprintf(L"EXIT OK!\n");
    fflush(stdout);
    return 0;
}

bool CTerminal::Execute(const std::wstring& line)
{
    TerminalCommand command = ParseCommand(line);
    switch (command.kind) {
    case CommandKind::Exit:
        ::SetCommBreak(m_port.PortHandle());
        return false;
    case CommandKind::Repeat:
        Repeat(line);
        break;
    case CommandKind::Help:
        PrintBanner();
        break;
    case CommandKind::Purge:
        PrintResult(::PurgeComm(m_port.PortHandle(), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR),
                    L"OK!\n");
        break;
    case CommandKind::Escape:
        PrintResult(::EscapeCommFunction(m_port.PortHandle(), command.escape), L"OK!\n");
        break;
    case CommandKind::CrcOn:
    case CommandKind::CrcOff:
        m_port.SetChecksum(command.kind == CommandKind::CrcOn);
        wprintf(L"OK!\n");
        break;
    case CommandKind::Errors:
        ShowErrors();
        break;
    case CommandKind::Delay:
        PrintResult(m_port.SetDelay(command.delay), L"OK!\n");
        break;
    case CommandKind::Speed:
        PrintResult(m_port.SetDcb(command.setting), L"OK!\n");
        break;
    case CommandKind::Port:
        PrintResult(m_port.SetPort(command.setting), L"OK!!\n");
        break;
    case CommandKind::Scan:
        Scan(command.scan);
        break;
    case CommandKind::Raw:
        SendRaw(line);
        break;
    }
    return true;
}

void CTerminal::PrintBanner()
{
    m_colour.Set(CConsoleColor::kBrightWhite);
    wprintf(L"%ls", kBannerText);
    m_colour.Set(m_colour.StartForeground());
    wprintf(L"%ls", kHelpText);
}

void CTerminal::PrintResult(bool ok, const wchar_t* success)
{
    wprintf(L"%ls", ok ? success : L"FAIL!\n");
}

void CTerminal::ShowErrors()
{
    wprintf(L"%ls", m_port.TakeErrors().c_str());
    wprintf(L"%ls", L"\nOK!\n");
}

void CTerminal::SendRaw(const std::wstring& line)
{
    std::wstring command = line;
    std::wstring reply;
    m_port.Transact(command, reply);  // a failed check only keeps the checksum in view
    m_colour.Set(CConsoleColor::kBrightWhite);
    wprintf(L"%ls\n", reply.c_str());
    m_colour.Set(m_colour.StartForeground());
    SayIfReplyCut();
}

void CTerminal::Repeat(const std::wstring& line)
{
    RepeatRequest request = ParseRepeat(line);
    for (int i = 0; i < request.count; ++i) {
        std::wstring command = request.command;
        std::wstring reply;
        m_port.Transact(command, reply);
        wprintf(L"%ls\n", MaskWideCharacters(reply).c_str());
        SayIfReplyCut();
    }
}

void CTerminal::SayIfReplyCut()
{
    if (m_port.LastReplyCut())
        wprintf(L"REPLY TOO LONG, CUT TO %d CHARACTERS\n", int(CRs485Port::kBufferBytes));
}

void CTerminal::Scan(const ScanRequest& request)
{
    if (!request.valid) {
        wprintf(L"FAIL!\n");
        return;
    }
    CInputWatch watch(m_input);
    CLineScan scan(m_port, watch);
    bool whole = scan.Run(request);
    wprintf(L"%ls, %u MODULES FOUND\n", whole ? L"SCAN DONE" : L"SCAN STOPPED", unsigned(scan.Found().size()));
    for (const std::wstring& line : ControllerXmlLines(scan.Found(), m_port.PortName(), m_port.Delay()))
        wprintf(L"%ls\n", line.c_str());
    watch.DropStoppingLine();
}
