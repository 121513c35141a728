#include "PacketTest.h"
#include "ConsolePrint.h"
#include "ModemPort.h"
#include "Stopwatch.h"
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

// Whole milliseconds, as the test reports them.
LONGLONG ElapsedMs(const CStopwatch& watch)
{
    return LONGLONG(watch.Milliseconds());
}

// Waits for a verified message; false when the user gave up first.
bool WaitMessageOrGiveUp(CModemPort& port)
{
    const HANDLE handles[2] = {port.MessageArrived(), g_giveUp};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0)
        return true;
    PrintWide(L"%ls", L"\nTest cancelled.");
    return false;
}

void RunMaster(CModemPort& port, const CStopwatch& watch, const uint8_t* sent, uint8_t* received)
{
    PrintWide(L"%ls %d bytes", L"\nSending request ...", int(kTestMessageSize));
    long long blocks = port.SendPacket(sent, kTestMessageSize);
    PrintWide(L"%ls", L"\nWaiting answer ...");
    if (!WaitMessageOrGiveUp(port))
        return;
    port.ReceivePacket(received, kTestMessageSize);
    float seconds = float(ElapsedMs(watch)) / 1000;
    PrintWide(L"%ls %d %ls %f", L"\nAnswer received, ", int(kTestMessageSize), L" bytes, elapsed time, s: ",
                 double(seconds));
    PrintWide(L"%ls %d", L"\nResult memcmp(send, receive) = ", std::memcmp(sent, received, kTestMessageSize));
    PrintWide(L"%ls %f Kb/s", L"\nSpeed (netto) = ", double(NetSpeed(seconds)));
    PrintWide(L"%ls %f Kb/s", L"\nSpeed (brutto) = ", double(GrossSpeed(blocks, seconds)));
}

void RunSlave(CModemPort& port, const CStopwatch& watch, uint8_t* received)
{
    PrintWide(L"%ls", L"\nWaiting request...");
    if (!WaitMessageOrGiveUp(port))
        return;
    PrintWide(L"\nRequest received, construction ...");
    port.ReceivePacket(received, kTestMessageSize);
    PrintWide(L"\nRequest construction, answering ...");
    port.SendPacket(received, kTestMessageSize);
    PrintWide(L"%ls %f ms", L"\nAnswer constructed, elapsed time: ", double(ElapsedMs(watch)));
}
}  // namespace

void RunPacketTest(CModemPort& port, bool master)
{
    CGiveUpOnBreak giveUp;
    CStopwatch watch;
    if (!port.SetPacketMode(true)) {
        PrintWide(L"Unable open port %ls\n", port.Name().c_str());
        port.SetPacketMode(false);
        return;
    }
    std::vector<uint8_t> sent(kTestMessageSize), received(kTestMessageSize);
    FillTestMessage(sent.data());
    PrintWide(L"%ls", L"\nEntering in PACKET mode.");
    if (master)
        RunMaster(port, watch, sent.data(), received.data());
    else
        RunSlave(port, watch, received.data());
    PrintWide(L"%ls", L"\nEntering in FLAT mode.\n");
    // Closing purges the send queue: the answer must be on the line first, however slow it is.
    port.WaitUntilSent();
    port.SetPacketMode(false);
}
