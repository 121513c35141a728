#pragma once
#include "ModbusFrame.h"
#include "Transport.h"

// One Modbus RTU exchange over any transport: the request's CRC-16 appended in place, the reply
// (at most 256 bytes, whole once it ends in its CRC) put in `reply`, cleared beyond its bytes,
// and checked (ModbusCheckReply): false for silence, a wrong CRC or an exception reply.
bool TransactBinary(CTransport& transport, CFrameRecord& request, CFrameRecord& reply);
