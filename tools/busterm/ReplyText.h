#pragma once
#include <string>

// The terminal's reply check. Checksum off: true, the reply untouched. Checksum on: the last
// three characters are two checksum digits and a terminator that is not examined; when the
// digits match the sum of the rest, they and the terminator are cut. Otherwise false and the
// reply stays whole, so the technician sees what came.
bool CheckTerminalReply(std::wstring& reply, bool checksum);

// Repeat mode prints characters above code 1000 (Cyrillic from the code page) as ".".
std::wstring MaskWideCharacters(const std::wstring& reply);
