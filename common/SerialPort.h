#pragma once
#include "Handle.h"
#include <string>

// A serial port: opened by name, set up from its settings text, purged and closed. The reads and
// writes, their threads and their style (blocking or overlapped) stay with each program's own
// port class; they take the handle.
class CSerialPort {
public:
    // A read returns at once with what is buffered, or waits at most 1 ms for a first byte.
    static constexpr COMMTIMEOUTS kReadWaitsOneMs{MAXDWORD, MAXDWORD, 1, 0, 0};
    // The driver's receive and transmit queues.
    static constexpr DWORD kQueueBytes = 4096;

    // How the port is set up. The settings text is read as BuildCommDCB reads it ("9600,n,8,1");
    // the port is always in binary mode with RTS and DTR held on, since RS485 converters and
    // radio modems take their power and direction from those lines.
    struct CSetup {
        std::wstring settings;
        // False: no flow control, whatever the text says (an RS485 line has no handshake lines).
        bool flowControlAsWritten = false;
        DWORD events = 0;  // the line events WaitCommEvent may report
        COMMTIMEOUTS timeouts = kReadWaitsOneMs;
    };

    CSerialPort() = default;
    ~CSerialPort() { Close(); }
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // COM1..COM9 open by their own names, COM10 and up only through the device namespace
    // (\\.\COM10); a name that is a path already is used as it is.
    static std::wstring DevicePath(const std::wstring& name);
    // The device control block of a setup; false when the text cannot be read (the fixed fields
    // are set all the same).
    static bool BuildDcb(const CSetup& setup, DCB& dcb);

    // Opens the port for this process alone; `flags` as CreateFileW takes them (overlapped I/O).
    bool Open(const std::wstring& name, DWORD flags = 0);
    // Applies the setup, with 4096-byte queues, and purges both directions. Every step runs; true
    // only when all of them succeeded.
    bool Configure(const CSetup& setup);
    // The device control block of the last Configure.
    const DCB& Dcb() const { return m_dcb; }
    // Drops what is queued in both directions and aborts what is under way.
    bool Purge();
    // Purges, then closes; nothing when the port is not open.
    void Close();

    bool IsOpen() const { return m_handle.IsValid(); }
    operator HANDLE() const { return m_handle; }

private:
    CHandle m_handle;
    DCB m_dcb{};
};
