#pragma once
#include <string>

// True when the prolog of an XML file (the bytes before its root element) holds a document type
// declaration. Reads UTF-8 and the single-byte code pages, and UTF-16 in either byte order (by
// its byte-order mark or by its first "<"); a prolog that is not well formed declares nothing.
bool DeclaresDocumentType(const std::string& bytes);
