#pragma once
#include <cstdio>
#include <string>

// Typed lines are read into a fixed buffer; a longer line is cut to this many characters and
// the rest of it is dropped, never taken as a line (a command) of its own.
const size_t kMaxLineChars = 1024;

// One line of the terminal's input without its line ending; false when the input has no more
// lines. A cut line is announced on the console before it is returned.
bool ReadTerminalLine(FILE* input, std::wstring& line);
