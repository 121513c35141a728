// The nine ICP CON modules over a real (pty) serial line against devsim.
#include "DconExchange.h"
#include "DeviceTable.h"
#include "Devsim.h"
#include "IcpModules.h"
#include "Serial.h"
#include "Stopwatch.h"
#include "TextConv.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <stdexcept>

namespace {
std::string Config(int port, bool lrc, int delay = 80, const char* protocol = "DCON")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
           "<port name=\"seg\" id=\"COM" + std::to_string(port) + "\" dcb=\"9600,n,8,1\" protocol=\"" + protocol +
           "\" delay=\"" + std::to_string(delay) + "\" crc=\"off\" lrc=\"" + (lrc ? "on" : "off") + "\"/>\n"
           "<device name=\"ICP7041D\" transport=\"seg\" addres=\"41\"/>\n"
           "<device name=\"ICP7042D\" transport=\"seg\" addres=\"42\"/>\n"
           "<device name=\"ICP7044D\" transport=\"seg\" addres=\"44\"/>\n"
           "<device name=\"ICP7045D\" transport=\"seg\" addres=\"45\"/>\n"
           "<device name=\"ICP7052D\" transport=\"seg\" addres=\"52\"/>\n"
           "<device name=\"ICP7055D\" transport=\"seg\" addres=\"55\"/>\n"
           "<device name=\"ICP7017\" transport=\"seg\" addres=\"17\"/>\n"
           "<device name=\"ICP7018\" transport=\"seg\" addres=\"18\"/>\n"
           "<device name=\"ICP7033\" transport=\"seg\" addres=\"33\"/>\n"
           "</configuration>\n";
}

// The host end of the line with the nine modules bound to it.
struct Segment {
    CSerial serial;
    std::vector<std::unique_ptr<CDevice>> devices;

    Segment(int port, bool lrc, int delay = 80, const wchar_t* protocol = L"DCON")
        : serial(ComName(port), L"9600,n,8,1", protocol, delay)
    {
        serial.SetDconChecksum(lrc);
        const wchar_t* modules[][2] = {{L"ICP7041D", L"41"}, {L"ICP7042D", L"42"}, {L"ICP7044D", L"44"},
                                       {L"ICP7045D", L"45"}, {L"ICP7052D", L"52"}, {L"ICP7055D", L"55"},
                                       {L"ICP7017", L"17"},  {L"ICP7018", L"18"},  {L"ICP7033", L"33"}};
        for (auto& module : modules) {
            devices.push_back(CreateDevice(module[0]));
            devices.back()->address = module[1];
            devices.back()->transport = &serial;
        }
    }
    CDevice& Module(const wchar_t* address)
    {
        for (auto& device : devices)
            if (device->address == address)
                return *device;
        throw std::logic_error("no module");
    }
};

const wchar_t kValues[] = L"--set 41=FFFE --set 44=05 --set 55=A5 --set 52=123 --set 17=1.25:-0.5 "
                       L"--set 18=-9.999:0.5 --set 33=25.5:-3.25:0.125";

class DconLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto pairs = RigPairs();
        ASSERT_FALSE(pairs.empty()) << "the rig made no pty pair";
        simEnd = pairs[0].first;
        hostEnd = pairs[0].second;
    }
    int simEnd = 0, hostEnd = 0;
};

// TestLink, ReadInputs and WriteOutputs of every module, in that order.
std::vector<std::string> ModuleTableCommands()
{
    return {"$41M", "@41",
            "~421", "$42M", "@421001",
            "~441", "$44M", "@44", "@4408",
            "~451", "$45M", "@458000",
            "~521", "$52M", "$52C0", "$52C1", "$52C2", "$52C3", "$52C4", "$52C5", "$52C6", "$52C7", "#520",
            "~551", "$55M", "@55", "@5581",
            "$17M", "#17", "$18M", "#18", "$33M", "#33"};
}

void RunEveryOperation(Segment& segment)
{
    segment.Module(L"42").outputs[0].SetBoolean(true);
    segment.Module(L"42").outputs[12].SetBoolean(true);
    segment.Module(L"44").outputs[3].SetBoolean(true);
    segment.Module(L"45").outputs[15].SetBoolean(true);
    segment.Module(L"55").outputs[0].SetBoolean(true);
    segment.Module(L"55").outputs[7].SetBoolean(true);
    for (auto& device : segment.devices) {
        EXPECT_TRUE(device->TestLink()) << WideToAnsi(device->keyword);
        EXPECT_TRUE(device->ReadInputs()) << WideToAnsi(device->keyword);
        EXPECT_TRUE(device->WriteOutputs()) << WideToAnsi(device->keyword);
    }
}

void ExpectValues(Segment& segment)
{
    auto& d41 = segment.Module(L"41").inputs;
    EXPECT_EQ(d41[0].tag, TagInteger);
    EXPECT_EQ(d41[0].payload.i, 1);
    for (int i = 1; i < 16; ++i)
        EXPECT_EQ(d41[i].payload.i, 0) << i;
    // 7044D was read before its write: outputs 00, inputs 05, inverted.
    auto& d44 = segment.Module(L"44").inputs;
    EXPECT_EQ((std::vector<int>{d44[0].payload.i, d44[1].payload.i, d44[2].payload.i, d44[3].payload.i}),
              (std::vector<int>{0, 1, 0, 1}));
    auto& d55 = segment.Module(L"55").inputs;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d55[i].payload.i, (0xA5 >> i) & 1) << i;
    EXPECT_EQ(segment.Module(L"52").inputs[0].payload.i, 123);
    auto& a17 = segment.Module(L"17").inputs;
    EXPECT_EQ(a17[0].tag, TagFloat);
    EXPECT_FLOAT_EQ(a17[0].payload.f, 1.25f);
    EXPECT_FLOAT_EQ(a17[1].payload.f, -0.5f);
    EXPECT_FLOAT_EQ(a17[7].payload.f, 0.0f);
    EXPECT_FLOAT_EQ(segment.Module(L"18").inputs[0].payload.f, -9.999f);
    auto& a33 = segment.Module(L"33").inputs;
    EXPECT_FLOAT_EQ(a33[0].payload.f, 25.5f);
    EXPECT_FLOAT_EQ(a33[1].payload.f, -3.25f);
    EXPECT_FLOAT_EQ(a33[2].payload.f, 0.125f);
}
}  // namespace

TEST_F(DconLine, EveryCommandGoesOutAsTheModuleTableSaysWithoutChecksum)
{
    CDevsim sim(Config(simEnd, false), L"seg", ComName(simEnd), kValues);
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, false);
    ASSERT_TRUE(segment.serial.Open());
    RunEveryOperation(segment);
    std::vector<std::string> expected;
    for (const std::string& command : ModuleTableCommands())
        expected.push_back(LoggedLine(command, false));
    ASSERT_TRUE(sim.WaitForRequests(expected.size()));
    EXPECT_EQ(sim.Requests(), expected);
    ExpectValues(segment);
    EXPECT_EQ(segment.devices.back()->keyword, L"ICP7033");
}

TEST_F(DconLine, EveryCommandCarriesItsChecksumWhenTheChecksumIsOn)
{
    CDevsim sim(Config(simEnd, true), L"seg", ComName(simEnd), kValues);
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, true);
    ASSERT_TRUE(segment.serial.Open());
    RunEveryOperation(segment);
    std::vector<std::string> expected;
    for (const std::string& command : ModuleTableCommands())
        expected.push_back(LoggedLine(command, true));
    ASSERT_TRUE(sim.WaitForRequests(expected.size()));
    EXPECT_EQ(sim.Requests(), expected);
    EXPECT_EQ(sim.Requests()[0], "$41MD6\\r");
    ExpectValues(segment);
    // The transport cut the checksum and the carriage return.
    auto* analog = dynamic_cast<CDCON*>(&segment.Module(L"17"));
    EXPECT_EQ(analog->LastReply(), L">+01.250-00.500+00.000+00.000+00.000+00.000+00.000+00.000");

    // devsim answers only a line whose checksum is the sum of its bytes: Cyrillic text is summed
    // in code page 1251, as it goes over the line.
    std::wstring request = L"$17Ж", reply;
    EXPECT_TRUE(Transact(segment.serial, request, reply));
    EXPECT_EQ(reply, L"?17");
    ASSERT_TRUE(sim.WaitForRequests(expected.size() + 1));
    EXPECT_EQ(sim.Requests().back(), "$17\\xC652\\r");  // 0x24 + 0x31 + 0x37 + 0xC6 = 0x152
}

// A bad answer is asked for once more at once; two in a row fail the exchange.
TEST_F(DconLine, FaultsFailTheExchangeLeaveValuesAndPass)
{
    CDevsim sim(Config(simEnd, true), L"seg", ComName(simEnd),
                std::wstring(kValues) + L" --fault 17=silent*2 --fault 41=badsum*2 --fault 55=garbage*2"
                                        L" --fault 52=badsum*2 --fault 18=cut:4*1");
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, true);
    ASSERT_TRUE(segment.serial.Open());
    for (const wchar_t* address : {L"17", L"41", L"55", L"52"}) {
        CDevice& module = segment.Module(address);
        std::vector<CValue> before = module.inputs;
        EXPECT_FALSE(module.ReadInputs()) << WideToAnsi(address);
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(module.inputs[i].tag, before[i].tag);
            EXPECT_EQ(module.inputs[i].payload.i, before[i].payload.i);
        }
        EXPECT_TRUE(module.ReadInputs()) << WideToAnsi(address) << ": the device is back";
    }
    EXPECT_FLOAT_EQ(segment.Module(L"17").inputs[0].payload.f, 1.25f);
    EXPECT_EQ(segment.Module(L"41").inputs[0].payload.i, 1);
    EXPECT_EQ(segment.Module(L"55").inputs[0].payload.i, 1);
    EXPECT_EQ(segment.Module(L"52").inputs[0].payload.i, 123);
    EXPECT_EQ(sim.Requests().size(), 12u) << "each failed read was asked twice";

    EXPECT_TRUE(segment.Module(L"18").ReadInputs()) << "one cut reply, then a whole one";
    EXPECT_FLOAT_EQ(segment.Module(L"18").inputs[0].payload.f, -9.999f);
    EXPECT_EQ(segment.Module(L"18").Repeats(), 1);
}

// Without the checksum a silent module has not answered either, and an unreadable reply fails
// the read; values stay as they were.
TEST_F(DconLine, WithoutChecksumSilentAndUnreadableModulesFail)
{
    CDevsim sim(Config(simEnd, false), L"seg", ComName(simEnd),
                std::wstring(kValues) + L" --fault 17=silent*2 --fault 41=garbage*2 --fault 52=silent*2"
                                        L" --fault 42=silent*6");
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, false);
    ASSERT_TRUE(segment.serial.Open());
    EXPECT_FALSE(segment.Module(L"17").ReadInputs());
    EXPECT_FLOAT_EQ(segment.Module(L"17").inputs[0].payload.f, 0.0f);
    EXPECT_EQ(segment.Module(L"17").inputs[0].tag, TagFloat);
    EXPECT_FALSE(segment.Module(L"41").ReadInputs());
    EXPECT_EQ(segment.Module(L"41").inputs[0].tag, TagBoolean);
    EXPECT_FALSE(segment.Module(L"52").ReadInputs());
    EXPECT_EQ(segment.Module(L"52").inputs[0].payload.i, 0);
    EXPECT_FALSE(segment.Module(L"42").TestLink());
    EXPECT_FALSE(segment.Module(L"42").WriteOutputs());

    EXPECT_TRUE(segment.Module(L"41").ReadInputs());
    EXPECT_EQ(segment.Module(L"41").inputs[0].payload.i, 1);
}

// A refusal or noise passes the line without the checksum; the module has still not answered
// its link test, nor set its outputs.
TEST_F(DconLine, WithoutChecksumARefusalIsNoAnswer)
{
    CDevsim sim(Config(simEnd, false), L"seg", ComName(simEnd),
                std::wstring(kValues) + L" --fault 41=exception*2 --fault 17=garbage*2 --fault 44=exception*2");
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, false);
    ASSERT_TRUE(segment.serial.Open());
    for (const wchar_t* address : {L"41", L"17"}) {
        EXPECT_FALSE(segment.Module(address).TestLink()) << WideToAnsi(address);
        EXPECT_TRUE(segment.Module(address).TestLink()) << WideToAnsi(address);
    }
    EXPECT_FALSE(segment.Module(L"44").WriteOutputs());
    EXPECT_TRUE(segment.Module(L"44").WriteOutputs());
}

// A reply later than the delay is lost to its exchange, and dropped before the next request.
TEST_F(DconLine, ALateReplyIsDroppedBeforeTheNextRequest)
{
    CDevsim sim(Config(simEnd, false, 60), L"seg", ComName(simEnd), std::wstring(kValues) + L" --fault 17=late:250*1");
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, false, 60);
    ASSERT_TRUE(segment.serial.Open());
    auto* analog = dynamic_cast<CDCON*>(&segment.Module(L"17"));
    EXPECT_FALSE(analog->ReadInputs());
    EXPECT_EQ(analog->LastReply(), L"");
    ::Sleep(300);  // the late reply is now waiting in the line
    EXPECT_TRUE(segment.Module(L"41").ReadInputs());
    EXPECT_EQ(dynamic_cast<CDCON*>(&segment.Module(L"41"))->LastReply(), L">FFFE\r");
}

// An exchange ends at the reply's carriage return, not at the delay, also when the reply comes
// in two parts with a pause between them.
TEST_F(DconLine, AReplyInTwoPartsIsWholeAndEndsTheExchangeLongBeforeTheDelay)
{
    for (bool lrc : {false, true}) {
        CDevsim sim(Config(simEnd, lrc, 1000), L"seg", ComName(simEnd),
                    std::wstring(kValues) + L" --fault 17=split:5*1 --fault 52=split:5*1");
        ASSERT_TRUE(sim.Ready());
        Segment segment(hostEnd, lrc, 1000);
        ASSERT_TRUE(segment.serial.Open());
        CStopwatch clock;
        EXPECT_TRUE(segment.Module(L"17").ReadInputs());
        EXPECT_TRUE(segment.Module(L"52").ReadInputs());
        EXPECT_LT(clock.Milliseconds(), 1000.0) << "two exchanges of a 1000 ms delay";
        EXPECT_FLOAT_EQ(segment.Module(L"17").inputs[1].payload.f, -0.5f);
        EXPECT_EQ(segment.Module(L"52").inputs[0].payload.i, 123);
        EXPECT_EQ(segment.Module(L"17").Repeats() + segment.Module(L"52").Repeats(), 0);
        ASSERT_TRUE(sim.WaitForRequests(2));
        EXPECT_EQ(sim.Faults(), (std::vector<std::string>{"split:5", "split:5"}));
    }
}

// devsim's random mode, as the long runs use it: a share of the replies gets a fault of a kind the
// line can show, named in the log, and every reply carries new readings. Each faulted read fails,
// every other one gives its reply's readings.
TEST_F(DconLine, RandomFaultsAreNamedInTheLogAndEveryOtherReadSucceedsWithNewReadings)
{
    CDevsim sim(Config(simEnd, true), L"seg", ComName(simEnd), L"--random-faults 40:120 --random-values --seed 3");
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, true);
    ASSERT_TRUE(segment.serial.Open());
    CDevice& analog = segment.Module(L"17");
    std::vector<bool> read;
    std::set<float> readings;
    for (int i = 0; i < 20; ++i) {
        read.push_back(analog.ReadInputs());
        readings.insert(analog.inputs[0].payload.f);
        ::Sleep(100);  // a late reply is in before the next request, which drops it
    }
    // A faulted reply is asked for again: a read succeeds when its first or its second reply is
    // clean. The reply of a late first try comes in the second try's time: alone (the second got
    // no answer in time) it answers the same question; with the second's own it spoils both.
    ASSERT_TRUE(sim.WaitForRequests(20));
    std::vector<std::string> faults = sim.Faults();
    size_t at = 0, good = 0, repeated = 0;
    for (size_t i = 0; i < read.size() && at < faults.size(); ++i, ++at) {
        for (size_t t = at; t < at + 2 && t < faults.size(); ++t)
            EXPECT_TRUE(std::set<std::string>({"", "silent", "late:120", "garbage", "badsum", "exception"}).count(faults[t]))
                << faults[t];
        bool expected = faults[at].empty();
        if (!expected && ++at < faults.size()) {
            bool secondAnswered = faults[at] != "silent" && faults[at] != "late:120";
            expected = faults[at - 1] == "late:120" ? !secondAnswered : faults[at].empty();
            ++repeated;
        }
        EXPECT_EQ(read[i], expected) << i;
        good += read[i] ? 1 : 0;
    }
    EXPECT_GT(repeated, 0u);
    EXPECT_EQ(readings.size(), good + (read[0] ? 0 : 1)) << "the first value before a good read";
}

TEST_F(DconLine, OpenCloseAndSetPortId)
{
    CDevsim sim(Config(simEnd, false), L"seg", ComName(simEnd), kValues);
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, false);
    std::wstring request = L"$17M", reply;
    EXPECT_FALSE(Transact(segment.serial, request, reply)) << "a port that was never opened";

    ASSERT_TRUE(segment.serial.Open());
    ASSERT_TRUE(segment.serial.Open()) << "opening an open port reopens it";
    request = L"$17M";
    EXPECT_TRUE(Transact(segment.serial, request, reply));
    EXPECT_EQ(reply, L"!177017\r");

    DWORD start = ::GetTickCount();
    EXPECT_FALSE(segment.serial.SetPortId(L"COM99"));
    EXPECT_GE(::GetTickCount() - start, 190u) << "a missing port is tried twice, 200 ms apart";
    EXPECT_EQ(segment.serial.GetPortId(), L"COM99");
    request = L"$17M";
    EXPECT_FALSE(Transact(segment.serial, request, reply));
    EXPECT_FALSE(segment.Module(L"17").TestLink());

    EXPECT_FALSE(segment.serial.SetPortId(L"COM2")) << "a name that is no serial line";
    EXPECT_FALSE(Transact(segment.serial, request = L"$17M", reply));
    EXPECT_TRUE(segment.serial.SetPortId(ComName(hostEnd)));
    EXPECT_TRUE(segment.Module(L"17").TestLink());
    segment.serial.Close();
    EXPECT_FALSE(segment.Module(L"17").TestLink());
}

TEST(SerialPort, RefusesSettingsItCannotBuild)
{
    auto pairs = RigPairs();
    ASSERT_FALSE(pairs.empty());
    CSerial serial(ComName(pairs[0].second), L"nonsense", L"DCON", 80);
    EXPECT_FALSE(serial.Open());
    std::wstring request = L"$17M", reply;
    EXPECT_FALSE(Transact(serial, request, reply));
}

// The configuration commands the scale buttons send: devsim keeps the new input range.
TEST_F(DconLine, DevsimKeepsTheInputRangeItIsGiven)
{
    CDevsim sim(Config(simEnd, true), L"seg", ComName(simEnd));
    ASSERT_TRUE(sim.Ready());
    Segment segment(hostEnd, true);
    ASSERT_TRUE(segment.serial.Open());
    std::wstring request = L"$172", reply;
    ASSERT_TRUE(Transact(segment.serial, request, reply));
    EXPECT_EQ(reply, L"!17080640");  // 9600 baud, checksum on
    request = L"%17170A" + reply.substr(5, 4);
    ASSERT_TRUE(Transact(segment.serial, request, reply));
    EXPECT_EQ(reply, L"!17");
    request = L"$172";
    ASSERT_TRUE(Transact(segment.serial, request, reply));
    EXPECT_EQ(reply, L"!170A0640");
}
