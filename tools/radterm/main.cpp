#include "Terminal.h"
#include <clocale>
#include <cstdio>

int wmain()
{
    // Output goes out as it is written, also when it is redirected. Typed lines are converted
    // through the ANSI code page, while numbers keep the decimal point.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setlocale(LC_CTYPE, "");
    CTerminal terminal;
    return terminal.Run();
}
