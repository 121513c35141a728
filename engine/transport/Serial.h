#pragma once
#include "CriticalSection.h"
#include "Event.h"
#include "SerialPort.h"
#include "Thread.h"
#include "Transport.h"

// A segment on a Windows serial port (an RS485 converter on a COM port). One I/O thread per
// open port does the write-wait-read of every exchange; callers hand requests over to it.
class CSerial : public virtual CTransport {
public:
    CSerial(const std::wstring& portId, const std::wstring& settings, const std::wstring& protocol, int delay);
    ~CSerial() override;
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    bool Open() override;
    bool Exchange(const std::string& request, std::string& reply, const CReplyRule& rule) override;
    bool SetPortId(const std::wstring& id) override;
    std::wstring GetPortId() override { return m_portId; }
    void Close();

    int Delay() const { return m_delay; }
    const std::wstring& Settings() const { return m_settings; }
    // The port's protocol attribute: the loader gives the port devices of that protocol only; the
    // port moves the bytes of either.
    const std::wstring& Protocol() const { return m_protocol; }
    // The port's crc attribute: stored with it, it changes no framing.
    bool Crc() const { return m_crc; }
    void SetCrc(bool on) { m_crc = on; }

    // After a request without a whole reply, the longest wait for a quiet line, in reply delays.
    static constexpr double kQuietDelays = 4;

private:
    static constexpr int kOpenAttempts = 2;
    static constexpr DWORD kOpenRetryMs = 200;

    bool OpenFile();
    void StartThread();
    bool HandOver();
    void Serve();
    bool WaitForRequest();
    void ServeExchange();
    DWORD ReadQueued(unsigned char* chunk, DWORD size);
    void DropReceived();
    void ReadReply(std::string& reply, const CReplyRule& rule);
    static bool IsWhole(const CReplyRule& rule, const unsigned char* bytes, size_t count);
    DWORD ReadMore(unsigned char* chunk, DWORD size);
    void PrepareLine(const std::string& request);
    void WaitForQuiet();

    CSerialPort m_port;
    int m_delay;
    std::wstring m_portId;
    std::wstring m_settings;
    std::wstring m_protocol;
    bool m_crc = false;

    // The request slot, under m_lock: the I/O thread holds the lock for a whole exchange.
    CCriticalSection m_lock;
    std::string m_request;
    std::string m_reply;
    const CReplyRule* m_rule = nullptr;  // the caller's, which waits while it is in use
    bool m_written = false;  // whether the I/O thread could send the last request
    // The I/O thread's own: the last request sent, and whether a request got no whole reply since
    // the line was last quiet.
    std::string m_lastRequest;
    bool m_unanswered = false;

    CEvent m_requestEvent, m_doneEvent, m_quitEvent;
    bool m_open = false;
    CThread m_thread;
};
