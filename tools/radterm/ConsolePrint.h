#pragma once

// Formats wide text and writes it to standard output in one piece, converted to the ANSI code
// page. The C runtime writes unbuffered wide text a character at a time, a system call each;
// into a pipe under load one line then took up to 10 ms, and the packet test lost ticks to it.
void PrintWide(const wchar_t* format, ...);
