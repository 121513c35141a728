#pragma once
#include <string>

// REPEAT lines of both terminals: split at blanks and line feeds, the second word is the count
// (_wtoi), the third the command; further words are ignored, and where the word REPEAT stands
// does not matter.
struct RepeatRequest {
    int count = 0;
    std::wstring command;
};
RepeatRequest ParseRepeat(const std::wstring& line);

// Repeat mode prints characters above code 1000 (letters of the code page) as ".".
std::wstring MaskWideCharacters(std::wstring reply);
