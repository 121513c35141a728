#pragma once
#include <string>

// DCON command lines: the checksum is the sum of the bytes of the line as it goes over the wire
// (the text in the ANSI code page) modulo 256, sent as two upper-case hex digits before the
// carriage return.
unsigned DconChecksum(const std::string& bytes);
unsigned DconChecksum(const std::wstring& text);

// Appends the line ending in place: "\r", or the checksum digits and "\r".
void DconFrame(std::wstring& request, bool checksum);

// The engine's reply check of a DCON exchange. A device that sent nothing has not answered, and
// bytes after the first carriage return are a second reply (a late one of another module): both
// fail. Checksum off: otherwise true, the reply untouched. Checksum on: the last three characters
// must be the checksum of the rest and "\r"; on a match they are cut.
bool DconCheckReply(std::wstring& reply, bool checksum);
