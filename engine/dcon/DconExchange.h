#pragma once
#include "Transport.h"
#include <string>

// One DCON exchange over any transport. The request is framed in place: its checksum when the
// segment's checksum is on, and the carriage return. The reply is taken as one line of at most
// 16380 bytes, whole at its carriage return, and checked (DconCheckReply): false for a missing,
// cut or doubled line and for a wrong checksum; with the checksum on, a good one is cut off.
bool Transact(CTransport& transport, std::wstring& request, std::wstring& reply);
