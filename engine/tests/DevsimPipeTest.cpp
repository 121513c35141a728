// devsim as the client of a segment's named pipe: each message in is one request as it would go
// over the line, each message back is the reply's wire bytes.
#include "Devsim.h"
#include "ModbusFrame.h"
#include "ModbusRtu.h"
#include <gtest/gtest.h>

namespace {
const char kConfig[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
    "<port name=\"sim\" id=\"\\\\.\\pipe\\orvex-devsim-test\" dcb=\"9600,n,8,1\" protocol=\"MIXED\" delay=\"50\" "
    "crc=\"off\" lrc=\"on\"/>\n"
    "<device name=\"ICP7017\" transport=\"sim\" addres=\"17\"/>\n"
    "<device name=\"IVA8\" transport=\"sim\" addres=\"1\"/>\n"
    "</configuration>\n";

// The engine's side of the pipe, one instance.
class PipeServer {
public:
    explicit PipeServer(const wchar_t* path)
        : m_pipe(::CreateNamedPipeW(path, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                    1, 16380, 16380, 500, nullptr))
    {
    }
    bool Connect() { return ::ConnectNamedPipe(m_pipe, nullptr) || ::GetLastError() == ERROR_PIPE_CONNECTED; }
    std::string Exchange(const std::string& request)
    {
        DWORD n = 0;
        if (!::WriteFile(m_pipe, request.data(), DWORD(request.size()), &n, nullptr))
            return "write failed";
        char buffer[16380];
        if (!::ReadFile(m_pipe, buffer, sizeof buffer, &n, nullptr))
            return "read failed";
        return std::string(buffer, n);
    }
    bool Valid() const { return m_pipe.IsValid(); }

private:
    CHandle m_pipe;
};
}  // namespace

TEST(DevsimPipe, AnswersDconLinesAndModbusFramesThroughThePipe)
{
    PipeServer server(L"\\\\.\\pipe\\orvex-devsim-test");
    ASSERT_TRUE(server.Valid());
    CDevsim sim(kConfig, L"sim", L"\\\\.\\pipe\\orvex-devsim-test", L"--set 17=1.25 --set 1=0x012C");
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(server.Connect());

    EXPECT_EQ(server.Exchange("$17MD9\r"), "!17701758\r");
    EXPECT_EQ(server.Exchange("$17M"), "!17701758\r") << "a bare command text is answered too";

    CFrameRecord frame;
    CModBusRtu::BuildIva8Read(frame, 0x0200);
    ModbusAppendCrc(frame);
    std::string reply = server.Exchange(std::string(reinterpret_cast<char*>(frame.data), size_t(frame.count)));
    ASSERT_EQ(reply.size(), 12u);
    EXPECT_EQ(uint8_t(reply[8]), 0x01);
    EXPECT_EQ(uint8_t(reply[9]), 0x2C);

    ASSERT_TRUE(sim.WaitForRequests(3));
    EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"$17MD9\\r", "$17M", "01 19 02 00 D1 7F"}));
}
