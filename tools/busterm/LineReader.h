#pragma once
#include <cstdio>
#include <string>

// Input lines are read into a fixed buffer; longer lines are cut to this many characters and
// the rest of the line is dropped (not taken as a line of its own).
const size_t kMaxLineChars = 1024;

enum class LineResult { Line, CutLine, End };

// One line without its line ending; End when the input has no more lines.
LineResult ReadInputLine(FILE* input, std::wstring& line);
