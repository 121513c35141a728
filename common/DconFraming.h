#pragma once
#include <string>

// DCON command lines: the checksum is the sum of the bytes of the line as it goes over the wire
// (the text in the ANSI code page) modulo 256, sent as two upper-case hex digits before the
// carriage return.
unsigned DconChecksum(const std::string& bytes);
unsigned DconChecksum(const std::wstring& text);

// Appends the line ending in place: "\r", or the checksum digits and "\r".
void DconFrame(std::wstring& request, bool checksum);

// Whether received bytes end a reply line (its carriage return): a serial exchange waits for
// no more after it.
inline bool DconLineEnded(const unsigned char* bytes, size_t count) { return count > 0 && bytes[count - 1] == '\r'; }

// What stands after the checksum digits of a reply: the engine's exchanges require the carriage
// return; the terminal only takes the last character for a terminator without examining it.
enum class DconReplyEnd { CarriageReturn, Any };

// The reply check of a DCON exchange. For the engine (CarriageReturn) a reply is one whole line:
// a device that sent nothing has not answered, a reply cut off on the line lacks its carriage
// return, and bytes after the first carriage return are a second reply (a late one of another
// module): all fail. Checksum off: otherwise true, the reply untouched. Checksum on:
// the last three characters must be the checksum of the rest and the terminator; on a match
// they are cut. Otherwise false and the reply stays whole.
bool DconCheckReply(std::wstring& reply, bool checksum, DconReplyEnd end = DconReplyEnd::CarriageReturn);
