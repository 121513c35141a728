#pragma once
#include "Handle.h"
#include <windows.h>
#include <string>

// Starts a console program with its standard input, output and error on pipes: `input` is the
// end we write the program's input to, `output` the end we read its output from.
bool StartWithPipes(std::wstring commandLine, DWORD creationFlags, PROCESS_INFORMATION& info, CHandle& input,
                    CHandle& output);
