#pragma once
#include <string>

// The whole file, or nothing when it cannot be opened. Another program may be writing it (a log)
// or replacing it meanwhile.
std::string ReadFileBytes(const std::wstring& path);
