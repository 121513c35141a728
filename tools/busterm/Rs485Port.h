#pragma once
#include "CriticalSection.h"
#include "Event.h"
#include "SerialPort.h"
#include "Thread.h"
#include <windows.h>
#include <memory>
#include <string>

// An RS485 line on a serial port. A worker thread of its own does every exchange, so the reply
// delay and the 1 ms drain after it hold whatever the console is doing.
class CRs485Port {
public:
    // The worker's transmit and receive buffers.
    static const size_t kBufferBytes = 32760;
    // A reply that overflows the buffer is read on and dropped until the line falls silent, but
    // for no longer than this; a line that never does so is left to the next exchange.
    static const DWORD kDropLimitMs = 10000;

    CRs485Port(const std::wstring& portName, const std::wstring& dcb, int delay);
    ~CRs485Port();
    CRs485Port(const CRs485Port&) = delete;
    CRs485Port& operator=(const CRs485Port&) = delete;

    BOOL Open();
    void Close();
    BOOL SetDcb(const std::wstring& dcb);
    BOOL SetPort(const std::wstring& portName);
    void SetChecksum(bool on) { m_checksum = on; }
    bool Checksum() const { return m_checksum != FALSE; }
    const std::wstring& PortName() const { return m_portName; }
    const std::wstring& Dcb() const { return m_dcb; }
    int Delay() const { return m_delay; }
    // Refuses a negative delay: the worker sleeps an unsigned count.
    bool SetDelay(int milliseconds);
    // Frames the command in place and returns the module's reply; false when the port is not
    // open (the reply untouched) or the reply fails the checksum test.
    BOOL Transact(std::wstring& command, std::wstring& reply);
    // The error log; reading it empties it.
    std::wstring TakeErrors();
    // True when the last reply did not fit the reply buffer: its end was read and dropped.
    bool LastReplyCut();
    // For the line commands, between exchanges.
    HANDLE PortHandle() const { return m_port.IsOpen() ? HANDLE(m_port) : INVALID_HANDLE_VALUE; }

private:
    // What Open creates for the worker once the port is configured, and Close releases.
    struct CWorkerSync {
        CEvent request, done, stop, io;
        OVERLAPPED overlapped{};
    };

    bool StartWorker();
    void Work();
    void Exchange();
    bool Drain(std::string& received, bool& cut, DWORD& error);

    std::wstring m_portName;
    std::wstring m_dcb;
    std::wstring m_request;
    std::wstring m_reply;
    CCriticalSection m_lock;  // request, reply and error log
    std::unique_ptr<CWorkerSync> m_sync;
    BOOL m_open = FALSE;
    BOOL m_checksum = FALSE;
    CThread m_thread;
    CSerialPort m_port;
    int m_delay;
    std::wstring m_errors;
    bool m_replyCut = false;
};
