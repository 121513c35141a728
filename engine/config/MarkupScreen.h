#pragma once
#include <string>

// The loader's look at a file's markup before the XML reader reads it. Refused are:
// - a document type declaration: its entities could make the reader fetch other files or
//   expand text without bound;
// - a name, or a namespace or declaration value, longer than kMarkupTokenLimit characters (bytes
//   in a UTF-8 file): some readers (Wine's MSXML) copy their error messages, which quote such
//   tokens, into a fixed buffer that a long one overruns.
// The markup is read as UTF-8 or a single-byte code page, or as UTF-16 of either byte order
// (known by its byte-order mark or its first "<"); text, comments and CDATA sections are skipped.
// Returns the refusal in words, or nothing when the file may go to the reader.
std::wstring ScreenMarkup(const std::string& bytes);

constexpr size_t kMarkupTokenLimit = 100;
extern const wchar_t kDoctypeRefusal[];
