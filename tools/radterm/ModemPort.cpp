#include "ModemPort.h"
#include "FlatChunks.h"
#include "PacketBlock.h"
#include "TextConv.h"
#include <algorithm>
#include <cstdio>

namespace {
const DWORD kLineEvents =
    EV_RXCHAR | EV_RXFLAG | EV_TXEMPTY | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK | EV_ERR | EV_RX80FULL;
// A read is started only for bytes already in the driver's queue and asks for no more than are
// there, so it completes at once; MAXDWORD/0/0 ("return what is there") behaves the same on
// Windows and under Wine, where MAXDWORD/MAXDWORD/C reads never complete.
const COMMTIMEOUTS kReadWhatIsThere{MAXDWORD, 0, 0, 0, 0};
const UINT kTickMs = 10;
// After the estimated end of the last byte: the way through the driver and the cable.
const double kSettleMs = 100;
}  // namespace

CModemPort::CModemPort(const std::wstring& name, const std::wstring& dcb, bool packet)
    : m_name(name), m_dcb(dcb), m_packet(packet)
{
}

CModemPort::~CModemPort()
{
    Close();
}

BOOL CModemPort::Open()
{
    if (!m_port.Open(m_name, FILE_FLAG_OVERLAPPED))
        return FALSE;
    m_open = m_port.Configure({m_dcb, true, kLineEvents, kReadWhatIsThere}) && StartThreads();
    return m_open;
}

// A port without its tick or either thread would take text and never send it: it does not
// count as open then, and what did start is stopped again.
bool CModemPort::StartThreads()
{
    // Signals left from the previous opening belong to lists that Close emptied.
    for (CEvent* event : {&m_stop, &m_dataReady, &m_readDone, &m_send, &m_writeDone, &m_messageArrived, &m_tick,
                          &m_lineEvent}) {
        if (!event->IsValid())
            return false;
        event->Reset();
    }
    {
        CScopedLock lock(m_sendLock);
        m_lineFreeAt = 0;
    }
    // The tick starts once both threads are there to take it.
    bool started = m_ioThread.Start([this] { RunIo(); }) && m_timerThread.Start([this] { RunTimer(); });
    if (!started || !m_timer.Start(kTickMs, m_tick)) {
        StopThreads();
        return false;
    }
    ::Sleep(0);
    return true;
}

void CModemPort::StopThreads()
{
    m_stop.Set();
    m_timerThread.Wait();
    m_ioThread.Wait();
    m_timer.Stop();
}

void CModemPort::Close()
{
    StopThreads();
    if (m_port.IsOpen()) {
        ::CancelIo(m_port);
        m_port.Close();
    }
    {
        CScopedLock lock(m_receiveLock);
        m_receive.Clear();
    }
    {
        CScopedLock lock(m_sendLock);
        m_sendQueue.clear();
    }
    m_open = FALSE;
}

BOOL CModemPort::Reconfigure(const std::wstring& name, const std::wstring& dcb)
{
    Close();
    m_name = name;
    m_dcb = dcb;
    return Open();
}

BOOL CModemPort::SetDcb(const std::wstring& dcb)
{
    Close();
    m_dcb = dcb;
    ::Sleep(200);
    return Open();
}

BOOL CModemPort::SetPacketMode(bool packet)
{
    Close();
    m_packet = packet;
    return Open();
}

void CModemPort::QueueText(const std::wstring& text)
{
    CScopedLock lock(m_sendLock);
    for (const CBlock& chunk : FlatChunksFromText(text))
        m_sendQueue.push_back(chunk);
}

std::wstring CModemPort::Transact(const std::wstring& text, DWORD silence)
{
    std::wstring answer;
    m_flatPrint = false;
    QueueText(text);
    ::Sleep(0);
    while (::WaitForSingleObjectEx(m_messageArrived, silence, TRUE) == WAIT_OBJECT_0) {
        CScopedLock lock(m_receiveLock);
        for (const CBlock& chunk : m_receive.TakeChunks())
            answer += AnsiToWide(FlatChunkBytes(chunk));
    }
    m_flatPrint = true;
    return answer;
}

int CModemPort::SendPacket(const uint8_t* data, size_t length)
{
    CScopedLock lock(m_sendLock);
    std::vector<CBlock> blocks = FragmentMessage(++m_counter, data, length);
    m_sendQueue.insert(m_sendQueue.end(), blocks.begin(), blocks.end());
    return SentBlockCount(blocks);
}

bool CModemPort::WaitUntilSent()
{
    double limit = 0;
    {
        CScopedLock lock(m_sendLock);
        size_t bytes = 0;
        for (const CBlock& block : m_sendQueue)
            bytes += WireLength(block);
        double pacing = double(m_sendQueue.size() * kTickMs);
        double onLine = std::max(0.0, m_lineFreeAt - m_clock.Milliseconds());
        limit = 2 * (LineMilliseconds(bytes) + pacing + onLine + kSettleMs) + 1000;
    }
    CStopwatch waited;
    while (!Sent()) {
        if (waited.Milliseconds() > limit)
            return false;
        ::Sleep(kTickMs);
    }
    return true;
}

bool CModemPort::Sent()
{
    CScopedLock lock(m_sendLock);
    return m_sendQueue.empty() && DriverQueues().cbOutQue == 0 && m_clock.Milliseconds() >= m_lineFreeAt + kSettleMs;
}

// Start bit, data bits, parity bit, stop bits (one and a half counted as two).
double CModemPort::LineMilliseconds(size_t bytes) const
{
    const DCB& line = m_port.Dcb();
    if (line.BaudRate == 0)
        return 0;
    unsigned bits = 1 + line.ByteSize + (line.Parity != NOPARITY ? 1 : 0);
    bits += line.StopBits == ONESTOPBIT ? 1 : 2;
    return double(bytes) * bits * 1000.0 / line.BaudRate;
}

size_t CModemPort::WireLength(const CBlock& block) const
{
    return m_packet ? PacketWireLength(block) : std::min<size_t>(FlatChunkCount(block), kFlatSendPiece);
}

size_t CModemPort::ReceivePacket(uint8_t* buffer, size_t size)
{
    CScopedLock lock(m_receiveLock);
    return m_receive.Collect(buffer, size);
}

COMSTAT CModemPort::DriverQueues()
{
    DWORD errors = 0;
    COMSTAT status{};
    return ::ClearCommError(m_port, &errors, &status) ? status : COMSTAT{};
}

DWORD CModemPort::BytesWaiting()
{
    return DriverQueues().cbInQue;
}

void CModemPort::RunTimer()
{
    OVERLAPPED overlapped{};
    overlapped.hEvent = m_lineEvent;
    DWORD mask = 0;
    bool waiting = false;
    const HANDLE handles[3] = {m_stop, m_tick, m_lineEvent};
    for (;;) {
        DWORD which = ::WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 + 1) {
            OnTick();
            if (waiting)
                continue;
            mask = 0;
            if (::WaitCommEvent(m_port, &mask, &overlapped)) {
                if (mask & (EV_RXCHAR | EV_RX80FULL))
                    m_dataReady.Set();
            } else if (::GetLastError() == ERROR_IO_PENDING) {
                waiting = true;
                continue;
            }
        } else if (which == WAIT_OBJECT_0 + 2) {
            DWORD unused = 0;
            if (::GetOverlappedResult(m_port, &overlapped, &unused, FALSE) && (mask & (EV_RXCHAR | EV_RX80FULL)))
                m_dataReady.Set();
            m_lineEvent.Reset();
            waiting = false;
        } else {
            break;
        }
        BytesWaiting();  // clears any line error
    }
    if (waiting) {
        // Changing the event mask completes a pending wait at once; CancelIo alone leaves it
        // pending under Wine, and this thread would never end.
        DWORD unused = 0;
        ::SetCommMask(m_port, 0);
        ::CancelIo(m_port);
        ::GetOverlappedResult(m_port, &overlapped, &unused, TRUE);
    }
}

void CModemPort::OnTick()
{
    {
        CScopedLock lock(m_sendLock);
        if (!m_sendQueue.empty())
            m_send.Set();
    }
    {
        CScopedLock lock(m_receiveLock);
        if (!m_receive.Empty())
            AnnounceReceived();
    }
    // Line events are not reliable on every driver (and one that comes while a read is
    // outstanding is dropped): bytes still queued are fetched on the next tick.
    if (BytesWaiting() > 0)
        m_dataReady.Set();
}

void CModemPort::AnnounceReceived()
{
    if (m_packet) {
        if (m_receive.CheckCompletion())
            m_messageArrived.Set();
    } else if (m_flatPrint) {
        for (const CBlock& chunk : m_receive.TakeChunks())
            std::printf("%.*s", int(FlatChunkCount(chunk)), reinterpret_cast<const char*>(chunk.data()));
        std::fflush(stdout);
    } else {
        m_messageArrived.Set();
    }
}

void CModemPort::RunIo()
{
    const HANDLE handles[5] = {m_stop, m_send, m_writeDone, m_dataReady, m_readDone};
    for (;;) {
        switch (::WaitForMultipleObjectsEx(5, handles, FALSE, INFINITE, TRUE)) {
        case WAIT_IO_COMPLETION:
            break;
        case WAIT_OBJECT_0 + 1:
            StartWrite();
            break;
        case WAIT_OBJECT_0 + 2:
            FinishWrite();
            break;
        case WAIT_OBJECT_0 + 3:
            StartRead();
            break;
        case WAIT_OBJECT_0 + 4:
            FinishRead();
            break;
        default:
            CancelOwnIo();
            return;
        }
    }
}

void CModemPort::StartWrite()
{
    if (m_writing)
        return;
    m_sendLock.Enter();  // held until the write has completed
    if (m_sendQueue.empty()) {
        m_sendLock.Leave();
        return;
    }
    const CBlock& block = m_sendQueue.front();
    const uint8_t* bytes = m_packet ? PacketWireBytes(block) : block.data();
    size_t count = WireLength(block);
    m_writeOverlapped = OVERLAPPED{};
    m_writeOverlapped.hEvent = this;
    m_writing = true;
    if (!::WriteFileEx(m_port, bytes, DWORD(count), &m_writeOverlapped, WriteRoutine)) {
        // The block stays queued; the next tick tries again.
        m_writing = false;
        m_sendLock.Leave();
        return;
    }
    // A driver or adapter may take the bytes long before they have left.
    m_lineFreeAt = std::max(m_lineFreeAt, m_clock.Milliseconds()) + LineMilliseconds(count);
    if (m_packet && PacketFlag(block) == kFlagControl) {
        CScopedLock lock(m_receiveLock);
        m_receive.ClearMessages();
    }
}

void CModemPort::FinishWrite()
{
    if (!m_writing)
        return;
    m_sendQueue.pop_front();
    m_writing = false;
    m_sendLock.Leave();
}

void CModemPort::StartRead()
{
    if (m_reading)
        return;
    DWORD waiting = BytesWaiting();
    if (waiting == 0)
        return;
    m_receiveLock.Enter();  // held until the read has completed
    m_readOverlapped = OVERLAPPED{};
    m_readOverlapped.hEvent = this;
    m_reading = true;
    DWORD count = std::min<DWORD>(waiting, sizeof m_readBuffer);
    if (!::ReadFileEx(m_port, m_readBuffer, count, &m_readOverlapped, ReadRoutine)) {
        m_reading = false;
        m_receiveLock.Leave();
    }
}

void CModemPort::FinishRead()
{
    if (!m_reading)
        return;
    if (m_packet)
        m_receive.AddPacketBytes(m_readBuffer, m_read);
    else
        m_receive.AddFlatBytes(m_readBuffer, m_read);
    m_reading = false;
    m_receiveLock.Leave();
}

void CModemPort::CancelOwnIo()
{
    if (!m_reading && !m_writing)
        return;
    ::CancelIo(m_port);
    const HANDLE done[2] = {m_writeDone, m_readDone};
    while (m_reading || m_writing) {
        DWORD which = ::WaitForMultipleObjectsEx(2, done, FALSE, INFINITE, TRUE);
        if (which == WAIT_OBJECT_0)
            FinishWrite();
        else if (which == WAIT_OBJECT_0 + 1)
            FinishRead();
    }
}

void CALLBACK CModemPort::WriteRoutine(DWORD, DWORD bytes, OVERLAPPED* overlapped)
{
    auto* port = static_cast<CModemPort*>(overlapped->hEvent);
    port->m_written = bytes;
    port->m_writeDone.Set();
}

void CALLBACK CModemPort::ReadRoutine(DWORD, DWORD bytes, OVERLAPPED* overlapped)
{
    auto* port = static_cast<CModemPort*>(overlapped->hEvent);
    port->m_read = bytes;
    port->m_readDone.Set();
}
