#include "PacketTest.h"
#include "CModemPort.h"
#include "TestMessage.h"
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// Set by Ctrl+C while a test runs; outside a test Ctrl+C ends the program as usual.
CEvent g_giveUp(true);

BOOL WINAPI OnConsoleBreak(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    g_giveUp.Set();
    return TRUE;
}

class CGiveUpOnBreak {
public:
    CGiveUpOnBreak()
    {
        g_giveUp.Reset();
        ::SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
    }
    ~CGiveUpOnBreak() { ::SetConsoleCtrlHandler(OnConsoleBreak, FALSE); }
    CGiveUpOnBreak(const CGiveUpOnBreak&) = delete;
    CGiveUpOnBreak& operator=(const CGiveUpOnBreak&) = delete;
};

class CStopwatch {
public:
    CStopwatch()
    {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    LONGLONG Milliseconds() const
    {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return (now.QuadPart - m_start.QuadPart) / (m_frequency.QuadPart / 1000);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

// Waits for a verified message, or up to `limit` ms; false when it did not come.
bool WaitMessage(CModemPort& port, DWORD limit)
{
    const HANDLE handles[2] = {port.MessageArrived(), g_giveUp};
    return ::WaitForMultipleObjects(2, handles, FALSE, limit) == WAIT_OBJECT_0;
}

bool WaitMessageOrGiveUp(CModemPort& port)
{
    if (WaitMessage(port, INFINITE))
        return true;
    std::wprintf(L"%ls", L"\nTest cancelled.");
    return false;
}

void RunMaster(CModemPort& port, const CStopwatch& watch, const uint8_t* sent, uint8_t* received)
{
    std::wprintf(L"%ls %d bytes", L"\nSending request ...", int(kTestMessageSize));
    long long blocks = port.SendPacket(sent, kTestMessageSize);
    std::wprintf(L"%ls", L"\nWaiting answer ...");
    if (!WaitMessageOrGiveUp(port))
        return;
    port.ReceivePacket(received, kTestMessageSize);
    float seconds = float(watch.Milliseconds()) / 1000;
    std::wprintf(L"%ls %d %ls %f", L"\nAnswer received, ", int(kTestMessageSize), L" bytes, elapsed time, s: ",
                 double(seconds));
    std::wprintf(L"%ls %d", L"\nResult memcmp(send, receive) = ", std::memcmp(sent, received, kTestMessageSize));
    std::wprintf(L"%ls %f Kb/s", L"\nSpeed (netto) = ", double(NetSpeed(seconds)));
    std::wprintf(L"%ls %f Kb/s", L"\nSpeed (brutto) = ", double(GrossSpeed(blocks, seconds)));
}

void RunSlave(CModemPort& port, const CStopwatch& watch, uint8_t* received)
{
    std::wprintf(L"%ls", L"\nWaiting request...");
    if (!WaitMessageOrGiveUp(port))
        return;
    std::wprintf(L"\nRequest received, construction ...");
    port.ReceivePacket(received, kTestMessageSize);
    std::wprintf(L"\nRequest construction, answering ...");
    port.SendPacket(received, kTestMessageSize);
    std::wprintf(L"%ls %f ms", L"\nAnswer constructed, elapsed time: ", double(watch.Milliseconds()));
}
}  // namespace

void RunPacketTest(CModemPort& port, bool master)
{
    CGiveUpOnBreak giveUp;
    CStopwatch watch;
    port.SetPacketMode(true);
    std::vector<uint8_t> sent(kTestMessageSize), received(kTestMessageSize);
    FillTestMessage(sent.data());
    std::wprintf(L"%ls", L"\nEntering in PACKET mode.");
    if (master)
        RunMaster(port, watch, sent.data(), received.data());
    else
        RunSlave(port, watch, received.data());
    std::wprintf(L"%ls", L"\nEntering in FLAT mode.\n");
    WaitMessage(port, 15000);  // lets the queued blocks drain
    port.SetPacketMode(false);
}
