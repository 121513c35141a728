#pragma once
#include <cstddef>
#include <string>

// What ends a reply. A line that does not delimit messages (a serial port) takes the reply by
// time and by this rule; a message transport (a pipe) takes one message and cuts it to the rule.
struct CReplyRule {
    // The most bytes a reply keeps; the rest of a longer one is read and dropped, so that it
    // cannot start the next reply.
    size_t limit;
    // Whether the bytes received so far are a whole reply, so that no more need be waited for;
    // null where no reply is known to be whole before its time is up.
    bool (*whole)(const unsigned char* bytes, size_t count);
    // A text reply ends at a zero byte on a message transport, as a client sending C strings
    // ends it.
    bool text;
};

// One RS485 segment's port: a serial port (CSerial) or a named pipe (CPipe). It moves bytes: the
// protocols frame their requests and check their replies over it (DconExchange.h,
// ModbusExchange.h).
class CTransport {
public:
    std::wstring name;  // the segment name from the configuration

    virtual bool Open() = 0;
    // One exchange: sends the request, then gives what came back as the reply, taken by the rule
    // (empty when nothing came). False when the request could not be sent or no reply could be
    // waited for: the port is closed, the line is gone, a pipe's client did not answer.
    virtual bool Exchange(const std::string& request, std::string& reply, const CReplyRule& rule) = 0;
    virtual bool SetPortId(const std::wstring& id) = 0;
    virtual std::wstring GetPortId() = 0;
    virtual ~CTransport() = default;
    // Why the segment could not be served in the last link check, in words for the link report;
    // empty when there is nothing to add.
    virtual std::wstring LinkFailure() { return {}; }

    // The segment's DCON checksum switch (its port's lrc attribute), read by the DCON exchange.
    bool DconChecksum() const { return m_dconChecksum; }
    void SetDconChecksum(bool on) { m_dconChecksum = on; }

private:
    bool m_dconChecksum = false;
};
