#pragma once
#include "CriticalSection.h"
#include "Handle.h"
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
    bool Transact(std::wstring& request, std::wstring& reply) override;
    bool TransactBinary(CFrameRecord& request, CFrameRecord& reply) override;
    bool SetPortId(const std::wstring& id) override;
    std::wstring GetPortId() override { return m_portId; }
    void Close();

    int Delay() const { return m_delay; }
    const std::wstring& Settings() const { return m_settings; }
    const std::wstring& Protocol() const { return m_protocol; }

    bool m_crc = false;   // stored with the port; changes no framing
    bool m_lrc = false;   // DCON checksum on this port

private:
    // The most a text reply keeps; later bytes of a longer reply are read and dropped.
    static constexpr size_t kTextLimit = 16380;
    static constexpr int kOpenAttempts = 2;
    static constexpr DWORD kOpenRetryMs = 200;

    bool OpenFile();
    bool Configure();
    void StartThread();
    bool HandOver();
    void Serve(void (CSerial::*exchange)());
    bool WaitForRequest();
    DWORD ReadQueued(unsigned char* chunk, DWORD size);
    void DropReceived();
    // Whether the bytes received so far are a whole reply (no more need be waited for).
    using ReplyEnded = bool (*)(const unsigned char* bytes, size_t count);
    size_t ReadReply(unsigned char* buffer, size_t size, ReplyEnded ended);
    DWORD ReadMore(unsigned char* chunk, DWORD size, bool whole);
    void ServeText();
    void ServeBinary();

    CSerialPort m_port;
    int m_delay;
    std::wstring m_portId;
    std::wstring m_settings;
    std::wstring m_protocol;
    std::wstring m_request;
    std::wstring m_reply;
    CCriticalSection m_lock;
    CHandle m_requestEvent, m_doneEvent, m_quitEvent;
    bool m_open = false;
    bool m_written = false;  // whether the I/O thread could send the last request
    CThread m_thread;
    CFrameRecord m_frame;
};
