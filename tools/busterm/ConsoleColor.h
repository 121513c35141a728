#pragma once
#include <windows.h>

// The text colour of the console the program writes to. Only the foreground (low four bits)
// changes; the background stays as the user had it.
class CConsoleColor {
public:
    static const WORD kBrightWhite = 15;

    CConsoleColor();
    WORD StartForeground() const { return m_startForeground; }
    void Set(WORD foreground);

private:
    HANDLE m_output;  // the standard handle, not owned
    WORD m_attributes = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
    WORD m_startForeground;
};
