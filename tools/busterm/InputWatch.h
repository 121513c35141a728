#pragma once
#include <windows.h>
#include <cstdio>

// Tells a long command that the technician wants it to stop: a key pressed at the console, a
// line arriving on a pipe, or the end of the piped input. Input from a file never stops it
// (its lines are the commands that follow).
class CInputWatch {
public:
    explicit CInputWatch(FILE* input);
    // Takes the key presses it saw from the console, so they do not open the next command.
    bool StopAsked();
    // A line that arrived on a pipe to stop the command is read and dropped.
    void DropStoppingLine();

private:
    bool KeyPressed();

    FILE* m_input;
    HANDLE m_handle;
    DWORD m_type;
    bool m_lineArrived = false;
};
