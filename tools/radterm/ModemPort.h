#pragma once
#include "Block.h"
#include "CriticalSection.h"
#include "Event.h"
#include "SerialPort.h"
#include "MultimediaTimer.h"
#include "ReceiveSide.h"
#include "Stopwatch.h"
#include "Thread.h"
#include <windows.h>
#include <atomic>
#include <deque>
#include <string>

// The radio modem's serial port. A timer thread (10 ms tick) paces sending, hands received data
// on and arms the line-event wait; an I/O thread runs the overlapped reads and writes, at most
// one of each outstanding. Flat mode moves text chunks, packet mode 256-byte packet blocks.
class CModemPort {
public:
    CModemPort(const std::wstring& name, const std::wstring& dcb, bool packet);
    ~CModemPort();
    CModemPort(const CModemPort&) = delete;
    CModemPort& operator=(const CModemPort&) = delete;

    BOOL Open();
    void Close();
    BOOL Reconfigure(const std::wstring& name, const std::wstring& dcb);
    BOOL SetDcb(const std::wstring& dcb);
    BOOL SetPacketMode(bool packet);

    // Flat mode: queues text for sending as it is, no terminator.
    void QueueText(const std::wstring& text);
    // Flat mode: sends the text and collects the answer until the line has been silent for
    // `silence` milliseconds.
    std::wstring Transact(const std::wstring& text, DWORD silence);

    // Waits until everything queued is on the line: the queue and the driver's queue empty, and
    // time enough for the bytes written to leave at the line speed. The wait is limited by the
    // time the queued bytes take at that speed (doubled, and a second more); false when the
    // limit passed first.
    bool WaitUntilSent();

    // Packet mode: queues a message; the block count, or 0 for a message of one block.
    int SendPacket(const uint8_t* data, size_t length);
    // Packet mode: the oldest verified message, at most `size` bytes; the bytes copied.
    size_t ReceivePacket(uint8_t* buffer, size_t size);
    HANDLE MessageArrived() const { return m_messageArrived; }

    HANDLE PortHandle() const { return m_port; }
    BOOL IsOpen() const { return m_open; }
    const std::wstring& Name() const { return m_name; }
    const std::wstring& Dcb() const { return m_dcb; }

private:
    bool StartThreads();
    void StopThreads();
    size_t WireLength(const CBlock& block) const;
    double LineMilliseconds(size_t bytes) const;
    bool Sent();
    void RunTimer();
    void OnTick();
    void AnnounceReceived();
    void RunIo();
    void StartWrite();
    void FinishWrite();
    void StartRead();
    void FinishRead();
    void CancelOwnIo();
    // The driver's queues; reading them also clears any line error.
    COMSTAT DriverQueues();
    DWORD BytesWaiting();
    static void CALLBACK WriteRoutine(DWORD error, DWORD bytes, OVERLAPPED* overlapped);
    static void CALLBACK ReadRoutine(DWORD error, DWORD bytes, OVERLAPPED* overlapped);

    CSerialPort m_port;
    std::wstring m_name;
    std::wstring m_dcb;
    BOOL m_open = FALSE;
    CThread m_timerThread;
    CThread m_ioThread;
    DWORD m_read = 0;
    DWORD m_written = 0;
    CEvent m_stop{true};
    CEvent m_dataReady;
    CEvent m_readDone;
    CEvent m_send;
    CEvent m_writeDone;
    CEvent m_messageArrived;
    CEvent m_tick;  // set every 10 ms by m_timer
    CEvent m_lineEvent{true};  // the timer thread's WaitCommEvent
    CMultimediaTimer m_timer;
    CCriticalSection m_receiveLock;
    CCriticalSection m_sendLock;
    uint16_t m_counter = 0;
    CReceiveSide m_receive;
    std::deque<CBlock> m_sendQueue;
    std::atomic<bool> m_flatPrint{true};
    bool m_packet;
    CStopwatch m_clock;
    double m_lineFreeAt = 0;  // m_clock time when the bytes written so far have left; send lock

    // The I/O thread's own state.
    uint8_t m_readBuffer[4096];
    OVERLAPPED m_readOverlapped{};
    OVERLAPPED m_writeOverlapped{};
    bool m_reading = false;
    bool m_writing = false;
};
