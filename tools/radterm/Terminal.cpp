#include "Terminal.h"
#include "ConsolePrint.h"
#include "DconFraming.h"
#include "HelpText.h"
#include "LineReader.h"
#include "PacketTest.h"
#include "RepeatCommand.h"
#include "TextConv.h"
#include <commdlg.h>
#include <cstdio>
#include <vector>

namespace {
const DWORD kHayesSilence = 64;
const DWORD kFilePiece = 1023;

bool ReadLine(std::wstring& line)
{
    return ReadTerminalLine(stdin, line);
}
}  // namespace

CTerminal::CTerminal() : m_port(L"COM5", L"19200,n,8,1", false) {}

int CTerminal::Run()
{
    PrintWide(L"%ls", kHelpText);
    m_port.Open();
    AskPort();
    std::wstring line;
    while (ReadLine(line) && Execute(line)) {
    }
    m_port.Close();
    PrintWide(L"EXIT OK!\n");
    return 0;
}

void CTerminal::AskPort()
{
    std::wstring name, dcb;
    PrintWide(L"\nSerial port name (COM2 or \\\\.\\COM10) default COM1: ");
    if (!ReadLine(name) || name.size() < 3)
        name = L"COM1";
    PrintWide(L"Serial port config (\"19200,n,8,1\"): ");
    if (!ReadLine(dcb) || dcb.size() < 3)
        dcb = L"19200,n,8,1";
    if (m_port.Reconfigure(name, dcb))
        PrintWide(L"Modem successfuly reconfigured to %ls (\"%ls\")\n", name.c_str(), dcb.c_str());
    else
        PrintWide(L"Unable open port %ls\n", name.c_str());
}

bool CTerminal::Execute(const std::wstring& line)
{
    Command command = ClassifyCommand(line);
    switch (command) {
    case Command::CrcOn:
    case Command::CrcOff:
        m_checksum = command == Command::CrcOn;
        PrintWide(L"OK!\n");
        break;
    case Command::ChangeSpeed: ChangeSpeed(line); break;
    case Command::Exit:
        ::SetCommBreak(m_port.PortHandle());
        return false;
    case Command::Help: PrintWide(L"%ls", kHelpText); break;
    case Command::Repeat: Repeat(line); break;
    case Command::File: SendFile(); break;
    case Command::Purge:
        PrintResult(m_port.IsOpen() && ::PurgeComm(m_port.PortHandle(), 15));
        break;
    case Command::Errors: PrintWide(L"\nOK!\n"); break;
    case Command::ChangePort: AskPort(); break;
    case Command::Master:
    case Command::Slave: RunPacketTest(m_port, command == Command::Master); break;
    case Command::Hayes: Hayes(line); break;
    case Command::Flat: FlatSend(line); break;
    default: LineControl(command); break;
    }
    return true;
}

void CTerminal::PrintResult(bool ok)
{
    PrintWide(ok ? L"OK!\n" : L"FAIL!\n");
}

void CTerminal::ChangeSpeed(const std::wstring& line)
{
    PrintResult(m_port.SetDcb(line.substr(2) + L",n,8,1"));
}

void CTerminal::LineControl(Command command)
{
    PrintResult(m_port.IsOpen() && ::EscapeCommFunction(m_port.PortHandle(), EscapeCode(command)));
}

void CTerminal::Repeat(const std::wstring& line)
{
    RepeatRequest request = ParseRepeat(line);
    if (m_checksum)
        DconFrame(request.command, true);
    for (int i = 0; i < request.count; ++i)
        PrintWide(L"%ls\n", MaskWideCharacters(m_port.Transact(request.command, kHayesSilence)).c_str());
}

void CTerminal::Hayes(const std::wstring& line)
{
    PrintWide(L"%ls", HayesAnswerText(m_port.Transact(line + L"\r", kHayesSilence)).c_str());
}

void CTerminal::FlatSend(std::wstring line)
{
    if (m_checksum)
        DconFrame(line, true);
    m_port.QueueText(line);
}

void CTerminal::SendFile()
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ::GetActiveWindow();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!::GetOpenFileNameW(&dialog))
        return;
    CHandle file(::CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid())
        return;
    char piece[kFilePiece + 1];
    DWORD count = 0;
    while (::ReadFile(file, piece, kFilePiece, &count, nullptr) && count > 0) {
        piece[count] = '\0';
        m_port.QueueText(AnsiToWide(piece, strlen(piece)));
    }
}
