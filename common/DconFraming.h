#pragma once
#include <string>

// DCON command lines: the checksum is the sum of the character codes modulo 256, sent as two
// upper-case hex digits before the carriage return.
unsigned DconChecksum(const std::wstring& text);

// Appends the line ending in place: "\r", or the checksum digits and "\r".
void DconFrame(std::wstring& request, bool checksum);

// The reply check of a DCON exchange. Checksum off: true, the reply untouched. Checksum on:
// the last three characters must be the checksum of the rest and "\r"; on a match they are cut.
bool DconCheckReply(std::wstring& reply, bool checksum);
