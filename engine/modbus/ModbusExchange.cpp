#include "ModbusExchange.h"
#include <algorithm>

namespace {
const CReplyRule kModbusReply{sizeof CFrameRecord::data, ModbusReplyWhole, false};
// Nothing, or any instrument, may answer a broadcast: its exchange waits its whole delay.
const CReplyRule kBroadcastReply{sizeof CFrameRecord::data, nullptr, false};
}  // namespace

bool TransactBinary(CTransport& transport, CFrameRecord& request, CFrameRecord& reply)
{
    if (!ModbusAppendCrc(request))
        return false;
    std::string received;
    bool answered = transport.Exchange(std::string(reinterpret_cast<const char*>(request.data), size_t(request.count)),
                                       received, request.data[0] == kModbusBroadcast ? kBroadcastReply : kModbusReply);
    reply = CFrameRecord();
    reply.count = int(std::min(received.size(), sizeof reply.data));
    std::copy(received.begin(), received.begin() + reply.count, reply.data);
    return answered && ModbusCheckReply(request, reply);
}
