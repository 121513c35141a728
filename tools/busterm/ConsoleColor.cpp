#include "ConsoleColor.h"
#include <cstdio>

CConsoleColor::CConsoleColor() : m_output(::GetStdHandle(STD_OUTPUT_HANDLE))
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(m_output, &info))
        m_attributes = info.wAttributes;
    m_startForeground = m_attributes & 0x0F;
}

void CConsoleColor::Set(WORD foreground)
{
    // Text still in the C runtime's buffer must come out in the colour it was printed under.
    fflush(stdout);
    m_attributes = WORD((m_attributes & ~0x0F) | (foreground & 0x0F));
    ::SetConsoleTextAttribute(m_output, m_attributes);
}
