#pragma once
#include "ModbusFrame.h"
#include "Transport.h"

// One Modbus RTU exchange over any transport: the request's CRC-16 appended in place, the reply
// (at most 256 bytes, whole at the length its function gives) put in `reply`, cleared beyond
// its bytes, and checked (ModbusCheckReply): false for silence, a wrong CRC or an exception
// reply. A broadcast's exchange takes what comes within the whole delay.
bool TransactBinary(CTransport& transport, CFrameRecord& request, CFrameRecord& reply);
