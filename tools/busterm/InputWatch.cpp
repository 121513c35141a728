#include "InputWatch.h"
#include "LineReader.h"
#include <io.h>
#include <string>

CInputWatch::CInputWatch(FILE* input)
    : m_input(input), m_handle(HANDLE(_get_osfhandle(_fileno(input)))), m_type(::GetFileType(m_handle))
{
}

bool CInputWatch::StopAsked()
{
    if (m_type == FILE_TYPE_CHAR)
        return KeyPressed();
    if (m_type != FILE_TYPE_PIPE)
        return false;
    DWORD waiting = 0;
    if (!::PeekNamedPipe(m_handle, nullptr, 0, nullptr, &waiting, nullptr))
        return true;  // the writing end has gone: the input has ended
    m_lineArrived = waiting > 0;
    return m_lineArrived;
}

bool CInputWatch::KeyPressed()
{
    DWORD events = 0;
    if (!::GetNumberOfConsoleInputEvents(m_handle, &events))
        return false;  // a character device that is no console
    bool pressed = false;
    while (events-- > 0) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!::ReadConsoleInputW(m_handle, &record, 1, &read) || read == 0)
            break;
        pressed = pressed || (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown);
    }
    return pressed;
}

void CInputWatch::DropStoppingLine()
{
    std::wstring line;
    if (m_lineArrived)
        ReadTerminalLine(m_input, line);
}
