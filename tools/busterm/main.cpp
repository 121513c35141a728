#include "ConsoleColor.h"
#include "Rs485Port.h"
#include "Terminal.h"
#include <clocale>

int wmain()
{
    // Wide console text converts through the system code page, the one the module's bytes are
    // in: otherwise replies with letters outside ASCII would not print at all.
    setlocale(LC_CTYPE, "");
    CConsoleColor colour;
    CRs485Port port(L"COM2", L"9600,n,8,1", 60);
    port.Open();  // a port that does not open shows in the commands' results
    CTerminal terminal(port, colour);
    return terminal.Run(stdin);
}
