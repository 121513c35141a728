#pragma once
#include <string>

// A binary (Modbus RTU) frame: at most 256 meaningful bytes.
struct CFrameRecord {
    unsigned char data[256] = {};
    int count = 0;
};

// One RS485 segment's port: a serial port (CSerial) or a named pipe (CPipe).
class CTransport {
public:
    std::wstring name;  // the segment name from the configuration

    virtual bool Open() = 0;
    virtual bool Transact(std::wstring& request, std::wstring& reply) = 0;
    virtual bool TransactBinary(CFrameRecord& request, CFrameRecord& reply) = 0;
    virtual bool SetPortId(const std::wstring& id) = 0;
    virtual std::wstring GetPortId() = 0;
    virtual ~CTransport() = default;
    // Why the segment could not be served in the last link check, in words for the link report;
    // empty when there is nothing to add.
    virtual std::wstring LinkFailure() { return {}; }
};
