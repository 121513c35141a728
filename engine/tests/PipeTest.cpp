#include "DconExchange.h"
#include "ModbusExchange.h"
#include "Pipe.h"
#include "PipeResponder.h"
#include "TextConv.h"
#include <gtest/gtest.h>
#include <memory>

namespace {
std::wstring UniquePath()
{
    static int serial = 0;
    return L"\\\\.\\pipe\\orvex-pipe-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
}

// Answers every request with a fixed message.
CPipeResponder::Handler Always(const std::string& answer)
{
    return [answer](const std::string&, std::string& reply) { reply = answer; return true; };
}

CFrameRecord Frame(std::initializer_list<uint8_t> bytes)
{
    CFrameRecord f;
    for (uint8_t b : bytes)
        f.data[f.count++] = b;
    return f;
}

std::string Bytes(const CFrameRecord& f)
{
    return std::string(reinterpret_cast<const char*>(f.data), size_t(f.count));
}

// Milliseconds an action takes.
template <class F>
DWORD Timed(F action)
{
    DWORD start = ::GetTickCount();
    action();
    return ::GetTickCount() - start;
}

// Loaded machines and Wine's start-up stretch every wait; a limit is only ever exceeded by this.
const DWORD kSlack = 10000;
}  // namespace

// The euro sign is in code pages 1251 (0x88) and 1252 (0x80) alike, so this holds under either.
TEST(Pipe, DconRequestGoesOutAsOneAnsiLineAndTheReplyComesBackAsText)
{
    CPipe pipe(UniquePath());
    CPipeResponder client(pipe.GetPortId(), Always(WideToAnsi(L"!11 5€\r")));
    ASSERT_TRUE(client.Connected());

    std::wstring request = L"$11M", reply = L"old";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(request, L"$11M\r");
    EXPECT_EQ(reply, L"!11 5€\r");  // checksum off: the reply stays whole

    std::wstring priced = L"$11€";
    Transact(pipe, priced, reply);
    auto sent = client.Requests();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], std::string("$11M\r"));  // no terminating zero
    ASSERT_EQ(sent[1].size(), 5u);
    EXPECT_EQ(uint8_t(sent[1][3]), ::GetACP() == 1251 ? 0x88 : 0x80);
}

TEST(Pipe, DconChecksumFramesTheRequestAndChecksTheReply)
{
    CPipe pipe(UniquePath());
    pipe.SetDconChecksum(true);
    std::string answer = "!11M7017" "9E\r";  // wrong checksum at first
    CPipeResponder client(pipe.GetPortId(), [&answer](const std::string&, std::string& reply) {
        reply = answer;
        return true;
    });
    ASSERT_TRUE(client.Connected());

    std::wstring request = L"$11M", reply;
    EXPECT_FALSE(Transact(pipe, request, reply));
    EXPECT_EQ(client.Requests().at(0), "$11MD3\r");
    EXPECT_EQ(reply, L"!11M7017" "9E\r");

    answer = "!11M7017" "9F\r";
    request = L"$11M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!11M7017");

    answer = std::string("!11M7017" "9F\r\0", 12);  // a client sending C strings
    request = L"$11M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!11M7017");
}

TEST(Pipe, BinaryFrameGoesOutWithItsCrcAndTheReplyIsChecked)
{
    CPipe pipe(UniquePath());
    std::string answer = Bytes(Frame({0x01, 0x03, 0x02, 0x04, 0xD2, 0x3A, 0xD9}));
    CPipeResponder client(pipe.GetPortId(), [&answer](const std::string&, std::string& reply) {
        reply = answer;
        return true;
    });
    ASSERT_TRUE(client.Connected());

    CFrameRecord request = Frame({0x01, 0x03, 0x00, 0x04, 0x00, 0x01}), reply = Frame({9, 9, 9, 9, 9, 9, 9, 9});
    EXPECT_TRUE(TransactBinary(pipe, request, reply));
    EXPECT_EQ(client.Requests().at(0), Bytes(request));
    EXPECT_EQ(request.count, 8);
    EXPECT_EQ(Bytes(reply), answer);
    EXPECT_EQ(reply.data[7], 0);  // cleared beyond the reply

    answer = Bytes(Frame({0x01, 0x83, 0x02, 0xC0, 0xF1}));  // exception reply with a right CRC
    request = Frame({0x01, 0x03, 0x00, 0x04, 0x00, 0x01});
    EXPECT_FALSE(TransactBinary(pipe, request, reply));
    EXPECT_EQ(Bytes(reply), answer);

    answer = Bytes(Frame({0x01, 0x03, 0x02, 0x04, 0xD2, 0x3A, 0xDA}));
    request = Frame({0x01, 0x03, 0x00, 0x04, 0x00, 0x01});
    EXPECT_FALSE(TransactBinary(pipe, request, reply));
}

TEST(Pipe, EmptyMessageIsAnEmptyReplyLikeASilentSerialDevice)
{
    CPipe pipe(UniquePath());
    CPipeResponder client(pipe.GetPortId(), Always(""));
    ASSERT_TRUE(client.Connected());

    // A device that sent nothing has not answered, whatever the checksum setting.
    CFrameRecord request = Frame({0x01, 0x19, 0x02, 0x00}), reply;
    EXPECT_FALSE(TransactBinary(pipe, request, reply));
    EXPECT_EQ(reply.count, 0);

    std::wstring text = L"#11", answer = L"x";
    EXPECT_FALSE(Transact(pipe, text, answer));
    EXPECT_EQ(answer, L"");
    pipe.SetDconChecksum(true);
    text = L"#11";
    EXPECT_FALSE(Transact(pipe, text, answer));
}

TEST(Pipe, OverlongReplyIsCutAndItsRestDoesNotSpillIntoTheNextExchange)
{
    CPipe pipe(UniquePath());
    int calls = 0;
    CPipeResponder client(pipe.GetPortId(), [&calls](const std::string&, std::string& reply) {
        reply = ++calls == 1 ? std::string(20000, 'x') + "\r" : std::string("!11\r");
        return true;
    });
    ASSERT_TRUE(client.Connected());

    std::wstring request = L"$11M", reply;
    EXPECT_FALSE(Transact(pipe, request, reply)) << "cut before its carriage return, it is no reply";
    EXPECT_EQ(reply, std::wstring(16380, L'x'));
    request = L"$11M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!11\r");
}

TEST(Pipe, WithoutAClientExchangesFailWithinTheTimeLimit)
{
    CPipe pipe(UniquePath());
    pipe.SetDelay(200);
    EXPECT_EQ(pipe.TimeLimit(), 800);

    std::wstring request = L"$11M", reply = L"old";
    DWORD took = Timed([&] { EXPECT_FALSE(Transact(pipe, request, reply)); });
    EXPECT_GE(took + 20, 800u);
    EXPECT_LT(took, 800 + kSlack);
    EXPECT_EQ(reply, L"");

    // Once an exchange has waited in vain, the next ones fail at once until a client comes.
    CFrameRecord frame = Frame({0x01, 0x19, 0x02, 0x00}), answer = Frame({1, 2, 3});
    took = Timed([&] { EXPECT_FALSE(TransactBinary(pipe, frame, answer)); });
    EXPECT_LT(took, kSlack);
    EXPECT_EQ(answer.count, 0);
    EXPECT_EQ(pipe.LinkFailure(), L"К каналу " + pipe.GetPortId() + L" не подключена ни одна программа");

    CPipeResponder client(pipe.GetPortId(), Always("!11\r"));
    ASSERT_TRUE(client.Connected());
    request = L"$11M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(pipe.LinkFailure(), L"");
}

// A client that misses the time limit answers while the next request is out already: it is let
// go, so that its late answer is never taken for that request's reply, and the next client is served.
TEST(Pipe, ClientThatMissedItsTimeIsLetGoSoItsLateAnswerMeetsNoLaterRequest)
{
    CPipe pipe(UniquePath());
    CPipeResponder slow(pipe.GetPortId(), [](const std::string&, std::string& reply) {
        ::Sleep(700);
        reply = "!11\r";
        return true;
    });
    ASSERT_TRUE(slow.Connected());
    std::wstring request = L"$11M", reply;
    DWORD took = Timed([&] { EXPECT_FALSE(Transact(pipe, request, reply)); });
    EXPECT_GE(took + 20, 500u);
    EXPECT_LT(took, 500 + kSlack);

    CPipeResponder next(pipe.GetPortId(), Always("!22\r"));
    ASSERT_TRUE(next.Connected());
    request = L"$22M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!22\r");
}

TEST(Pipe, ClientThatLeftAndCameBackIsServedAgain)
{
    CPipe pipe(UniquePath());
    std::wstring request, reply;
    {
        CPipeResponder first(pipe.GetPortId(), Always("!01\r"));
        ASSERT_TRUE(first.Connected());
        request = L"$01M";
        EXPECT_TRUE(Transact(pipe, request, reply));
        EXPECT_EQ(reply, L"!01\r");
    }
    CPipeResponder second(pipe.GetPortId(), Always("!02\r"));
    ASSERT_TRUE(second.Connected());
    request = L"$02M";
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!02\r");
}

TEST(Pipe, RequestWaitingForAClientIsServedWhenOneComesInTime)
{
    CPipe pipe(UniquePath());
    pipe.SetDelay(2500);
    std::unique_ptr<CPipeResponder> client;
    std::thread late([&] {
        ::Sleep(300);
        client = std::make_unique<CPipeResponder>(pipe.GetPortId(), Always("!05\r"));
    });
    std::wstring request = L"$05M", reply;
    EXPECT_TRUE(Transact(pipe, request, reply));
    EXPECT_EQ(reply, L"!05\r");
    late.join();
}

TEST(Pipe, DestroyingReturnsPromptlyWithOrWithoutAClient)
{
    DWORD took = Timed([] {
        CPipe pipe(UniquePath());
        ::Sleep(100);  // the server thread is waiting for a client by now
    });
    EXPECT_LT(took, 100 + kSlack);

    auto pipe = std::make_unique<CPipe>(UniquePath());
    CPipeResponder client(pipe->GetPortId(), Always("!01\r"));
    ASSERT_TRUE(client.Connected());
    took = Timed([&] { pipe.reset(); });
    EXPECT_LT(took, kSlack);
}

TEST(Pipe, TwoPipesServeTheirOwnClients)
{
    CPipe one(UniquePath()), two(UniquePath());
    CPipeResponder clientOne(one.GetPortId(), Always("!01\r"));
    CPipeResponder clientTwo(two.GetPortId(), Always("!02\r"));
    ASSERT_TRUE(clientOne.Connected());
    ASSERT_TRUE(clientTwo.Connected());
    for (int i = 0; i < 3; ++i) {
        std::wstring request = L"$01M", reply;
        EXPECT_TRUE(Transact(one, request, reply));
        EXPECT_EQ(reply, L"!01\r");
        request = L"$02M";
        EXPECT_TRUE(Transact(two, request, reply));
        EXPECT_EQ(reply, L"!02\r");
    }
    EXPECT_EQ(clientOne.Requests().size(), 3u);
    EXPECT_EQ(clientTwo.Requests().size(), 3u);
}
