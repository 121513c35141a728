#include "DconExchange.h"
#include "DconFraming.h"
#include "TextConv.h"
#include <algorithm>

namespace {
// The most a request sends and a reply keeps; later bytes of a longer reply are read and dropped.
constexpr size_t kTextLimit = 16380;

const CReplyRule kDconReply{kTextLimit, DconLineEnded, true};
}  // namespace

bool Transact(CTransport& transport, std::wstring& request, std::wstring& reply)
{
    bool checksum = transport.DconChecksum();
    DconFrame(request, checksum);
    std::string bytes = WideToAnsi(request);
    bytes.resize(std::min(bytes.size(), kTextLimit));
    std::string received;
    bool answered = transport.Exchange(bytes, received, kDconReply);
    reply = AnsiToWide(received);
    return answered && DconCheckReply(reply, checksum);
}
