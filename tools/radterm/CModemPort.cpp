#include "CModemPort.h"
#include "FlatChunks.h"
#include "PacketBlock.h"
#include "TextConv.h"
#include <mmsystem.h>
#include <process.h>
#include <algorithm>
#include <cstdio>

namespace {
const DWORD kLineEvents = 0x4FF;  // EV_RXCHAR ... EV_RX80FULL
const DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
const DWORD kQueueSize = 4096;
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
    m_port.Attach(::CreateFileW(m_name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr));
    if (!m_port.IsValid())
        return FALSE;
    m_open = Configure();
    if (m_open) {
        // Signals left from the previous opening belong to lists that Close emptied.
        for (CEvent* event : {&m_stop, &m_dataReady, &m_readDone, &m_send, &m_writeDone, &m_messageArrived})
            event->Reset();
        m_ioThread.Attach(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, IoThread, this, 0, nullptr)));
        m_timerThread.Attach(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, TimerThread, this, 0, nullptr)));
        ::Sleep(0);
    }
    return m_open;
}

bool CModemPort::Configure()
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ok = ::BuildCommDCBW(m_dcb.c_str(), &dcb) != FALSE;
    dcb.fBinary = TRUE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    ok &= ::SetCommState(m_port, &dcb) != FALSE;
    COMMPROP properties{};
    ok &= ::GetCommProperties(m_port, &properties) != FALSE;
    ok &= ::SetCommMask(m_port, kLineEvents) != FALSE;
    // A read is started only for bytes already in the driver's queue and asks for no more than
    // are there, so it completes at once; MAXDWORD/0/0 ("return what is there") behaves the
    // same on Windows and under Wine, where MAXDWORD/MAXDWORD/C reads never complete.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
    ok &= ::SetCommTimeouts(m_port, &timeouts) != FALSE;
    ok &= ::SetupComm(m_port, kQueueSize, kQueueSize) != FALSE;
    ok &= ::PurgeComm(m_port, kPurgeAll) != FALSE;
    return ok;
}

void CModemPort::Close()
{
    m_stop.Set();
    for (CHandle* thread : {&m_timerThread, &m_ioThread}) {
        if (thread->IsValid())
            ::WaitForSingleObject(*thread, INFINITE);
        thread->Close();
    }
    if (m_port.IsValid()) {
        ::CancelIo(m_port);
        ::PurgeComm(m_port, kPurgeAll);
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

size_t CModemPort::ReceivePacket(uint8_t* buffer, size_t size)
{
    CScopedLock lock(m_receiveLock);
    return m_receive.Collect(buffer, size);
}

DWORD CModemPort::BytesWaiting()
{
    DWORD errors = 0;
    COMSTAT status{};
    return ::ClearCommError(m_port, &errors, &status) ? status.cbInQue : 0;
}

unsigned __stdcall CModemPort::TimerThread(void* self)
{
    static_cast<CModemPort*>(self)->RunTimer();
    return 0;
}

void CModemPort::RunTimer()
{
    CEvent lineEvent(true);
    CEvent tick;
    UINT timer = ::timeSetEvent(10, 0, reinterpret_cast<LPTIMECALLBACK>(static_cast<HANDLE>(tick)), 0,
                                TIME_PERIODIC | TIME_CALLBACK_EVENT_PULSE);
    OVERLAPPED overlapped{};
    overlapped.hEvent = lineEvent;
    DWORD mask = 0;
    bool waiting = false;
    const HANDLE handles[3] = {m_stop, tick, lineEvent};
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
            lineEvent.Reset();
            waiting = false;
        } else {
            break;
        }
        BytesWaiting();  // clears any line error
    }
    if (waiting) {
        DWORD unused = 0;
        ::CancelIo(m_port);
        ::GetOverlappedResult(m_port, &overlapped, &unused, TRUE);
    }
    ::timeKillEvent(timer);
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

unsigned __stdcall CModemPort::IoThread(void* self)
{
    static_cast<CModemPort*>(self)->RunIo();
    return 0;
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
    size_t count = m_packet ? PacketWireLength(block) : std::min<size_t>(FlatChunkCount(block), kFlatSendPiece);
    m_writeOverlapped = OVERLAPPED{};
    m_writeOverlapped.hEvent = this;
    m_writing = true;
    if (!::WriteFileEx(m_port, bytes, DWORD(count), &m_writeOverlapped, WriteRoutine)) {
        // The block stays queued; the next tick tries again.
        m_writing = false;
        m_sendLock.Leave();
        return;
    }
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
