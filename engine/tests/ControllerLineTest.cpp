// Acquisition passes over real (pty) lines against devsim.
#include "ConfigFile.h"
#include "CycleWindow.h"
#include "DconFraming.h"
#include "Devsim.h"
#include "TextConv.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {
std::string Port(const char* name, int com, int delay, const char* protocol = "DCON", const char* lrc = "off")
{
    return std::string("<port name=\"") + name + "\" id=\"COM" + std::to_string(com) +
           "\" dcb=\"9600,n,8,1\" protocol=\"" + protocol + "\" delay=\"" + std::to_string(delay) +
           "\" crc=\"off\" lrc=\"" + lrc + "\"/>\n";
}

std::string Device(const char* keyword, const char* segment, const char* address, const std::string& items = "")
{
    return std::string("<device name=\"") + keyword + "\" transport=\"" + segment + "\" addres=\"" + address +
           "\" description=\"d\">" + items + "</device>\n";
}

std::string Item(const char* id, int idx)
{
    return std::string("<item id=\"") + id + "\" idx=\"" + std::to_string(idx) +
           "\" reg=\"0\" direction=\"IN\" type=\"A\" description=\"i\"/>";
}

std::string Wrap(int period, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"" + std::to_string(period) +
           "\">\n" + body + "</configuration>\n";
}

// The requests a devsim logged after the first `skip`, without their carriage returns.
std::vector<std::string> Commands(const CDevsim& sim, size_t skip = 0)
{
    std::vector<std::string> commands;
    auto requests = sim.Requests();
    for (size_t i = skip; i < requests.size(); ++i) {
        std::string r = requests[i];
        r.erase(std::remove(r.begin(), r.end(), '\r'), r.end());
        size_t cr = r.find("\\r");
        commands.push_back(cr == std::string::npos ? r : r.substr(0, cr));
    }
    return commands;
}

std::string WithChecksum(const char* command)
{
    std::wstring line = AnsiToWide(command);
    DconFrame(line, true);
    line.pop_back();
    return WideToAnsi(line);
}

class ControllerLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        pairs = RigPairs();
        ASSERT_GE(pairs.size(), 2u) << "the rig gives this test two pty pairs";
    }
    // devsim serves the segment on the first pair, and the controller loads the same file.
    void Start(const std::string& config, const wchar_t* segment, const wchar_t* devsimArguments = L"")
    {
        sim = std::make_unique<CDevsim>(config, segment, ComName(pairs[0].second), devsimArguments);
        ASSERT_TRUE(sim->Ready());
        ASSERT_EQ(LoadConfig(config, c), S_OK);
    }
    CComApartment apartment;
    std::vector<std::pair<int, int>> pairs;
    std::unique_ptr<CDevsim> sim;
    CController c;
};
}  // namespace

// The modules answer 100 ms after each request, so that a pass takes the modules' time.
TEST_F(ControllerLine, SegmentsRunInParallelAndDevicesInFileOrder)
{
    const int turnaround = 100, delay = 2 * turnaround;
    std::string config = Wrap(10, Port("A", pairs[0].first, delay) + Port("B", pairs[1].first, delay) +
                                       Device("ICP7017", "A", "11", Item("U11", 0)) + Device("ICP7017", "A", "12") +
                                       Device("ICP7017", "A", "13") + Device("ICP7017", "B", "21") +
                                       Device("ICP7017", "B", "22") + Device("ICP7017", "B", "23", Item("U23", 1)));
    std::wstring slow = L" --turnaround " + std::to_wstring(turnaround);
    CDevsim simA(config, L"A", ComName(pairs[0].second), L"--set 11=1.25:-0.5" + slow);
    CDevsim simB(config, L"B", ComName(pairs[1].second), L"--set 23=3.5:-7.25" + slow);
    ASSERT_TRUE(simA.Ready() && simB.Ready());
    ASSERT_EQ(LoadConfig(config, c), S_OK);
    std::wstring report;
    ASSERT_TRUE(c.CheckLinks(report)) << report.c_str();
    size_t linkA = simA.Requests().size(), linkB = simB.Requests().size();

    CCycleWindow window;
    ASSERT_TRUE(c.StartCycle(window));
    window.Pump(1, 30000);  // the first pass also waits for the link check's replies to drain
    DWORD start = ::GetTickCount();
    window.Pump(5, 60000);
    DWORD elapsed = ::GetTickCount() - start;
    c.StopCycle();
    ASSERT_EQ(window.failures, 0);
    ASSERT_EQ(window.timers, 5);

    for (auto [sim, skip, first] : {std::make_tuple(&simA, linkA, 11), std::make_tuple(&simB, linkB, 21)}) {
        auto commands = Commands(*sim, skip);
        ASSERT_GE(commands.size(), 15u);
        for (size_t i = 0; i < 15; ++i)
            EXPECT_EQ(commands[i], "#" + std::to_string(first + int(i % 3))) << "request " << i;
    }
    // One after the other the two segments would need 6 turnarounds a pass; side by side, 3.
    EXPECT_LT(elapsed / 4, DWORD(5 * turnaround)) << "passes of " << elapsed / 4 << " ms";
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 1.25f);
    EXPECT_FLOAT_EQ(c.FindValue(L"U23")->payload.f, -7.25f);
}

// Also without the checksum a silent module has not answered: its link test and every pass fail.
TEST_F(ControllerLine, ASilentModuleFailsThePassButLaterModulesAreStillRead)
{
    std::string config = Wrap(20, Port("A", pairs[0].first, 40) + Device("ICP7017", "A", "11", Item("U11", 0)) +
                                       Device("ICP7017", "A", "12") + Device("ICP7017", "A", "13", Item("U13", 0)) +
                                       "<variable name=\"n\" type=\"A\" description=\"n\">n = n + 1</variable>\n");
    ASSERT_NO_FATAL_FAILURE(Start(config, L"A", L"--set 11=2.5 --set 13=4.75 --fault 12=silent"));
    std::wstring report;
    EXPECT_FALSE(c.CheckLinks(report));
    EXPECT_NE(report.find(L"ICP7017:12 (d) по COM" + std::to_wstring(pairs[0].first) + L" НЕТ\n"), std::wstring::npos);
    size_t skip = sim->Requests().size();

    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 3, 30000));
    EXPECT_EQ(window.timers, 0);
    EXPECT_EQ(window.failures, 3);
    auto commands = Commands(*sim, skip);
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[0], "#11");
    EXPECT_EQ(commands[1], "#12");
    EXPECT_EQ(commands[2], "#12");  // asked once more
    EXPECT_EQ(commands[3], "#13");
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 2.5f);
    EXPECT_FLOAT_EQ(c.FindValue(L"U13")->payload.f, 4.75f);
    EXPECT_FLOAT_EQ(c.FindValue(L"n")->payload.f, 0.0f);  // formulas never ran
}

// Silent instruments fail their link test (they do not answer a broadcast either) but not a pass.
TEST_F(ControllerLine, SilentInstrumentsFailTheirLinkTestButNotThePass)
{
    std::string config = Wrap(20, Port("M", pairs[0].first, 40, "RTU") + Device("IVA8", "M", "1", Item("DEW", 0)) +
                                       Device("RRG12", "M", "3", Item("FLOW", 0)) +
                                       Device("RRG12", "M", "5", Item("FLOW5", 0)));
    ASSERT_NO_FATAL_FAILURE(Start(config, L"M", L"--fault 1=silent --fault 5=silent --set 3=10:1"));
    std::wstring report, port = L" по COM" + std::to_wstring(pairs[0].first);
    EXPECT_FALSE(c.CheckLinks(report));
    EXPECT_EQ(report, L"Связь c IVA8:1 (d)" + port + L" НЕТ\nСвязь c RRG12:3 (d)" + port +
                          L" ЕСТЬ\nСвязь c RRG12:5 (d)" + port + L" НЕТ\n");
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 3, 30000));
    EXPECT_EQ(window.failures, 0);
    EXPECT_EQ(window.timers, 3);
    EXPECT_FLOAT_EQ(c.FindValue(L"FLOW")->payload.f, 10.0f);
    EXPECT_EQ(c.FindValue(L"DEW")->tag, TagBoolean);  // nothing decoded from silence
    EXPECT_EQ(c.FindValue(L"FLOW5")->tag, TagBoolean);
}

// The first module answers later than the delay, so its late reply comes in the time of its
// repeat, together with the repeat's own: two lines are no reply. The module fails, and the next
// module's values are its own.
TEST_F(ControllerLine, ALateModuleDoesNotChangeTheNextModulesValues)
{
    // Period 0: every start runs one pass.
    std::string config = Wrap(0, Port("A", pairs[0].first, 200) + Device("ICP7017", "A", "11", Item("U11", 0)) +
                                      Device("ICP7017", "A", "12", Item("U12", 0)));
    ASSERT_NO_FATAL_FAILURE(Start(config, L"A", L"--set 11=1.25 --set 12=-3.5 --fault 11=late:300*1"));
    ASSERT_TRUE(c.Transports()[0]->Open());
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 1, 30000));
    EXPECT_EQ(window.failures, 1);
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 0.0f);
    EXPECT_FLOAT_EQ(c.FindValue(L"U12")->payload.f, -3.5f);
    window.failures = 0;
    ASSERT_TRUE(window.RunPasses(c, 1, 30000));
    EXPECT_EQ(window.timers, 1);
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 1.25f);
    EXPECT_FLOAT_EQ(c.FindValue(L"U12")->payload.f, -3.5f);
}

// A module answers each request 180 ms after it takes it, with a reply delay of 150 ms: its first
// try goes unanswered, its repeat gets the first try's answer, and the answer to the repeat comes
// 60 ms into the next module's time, which answers 120 ms after its request. The line waits until
// it has been quiet before it asks the next module, so the late answer never becomes its values.
TEST_F(ControllerLine, ALateAnswerIsNeverTakenForTheNextModules)
{
    std::string config = Wrap(0, Port("A", pairs[0].first, 150) + Device("ICP7017", "A", "11", Item("U11", 0)) +
                                      Device("ICP7017", "A", "12", Item("U12", 0)));
    ASSERT_NO_FATAL_FAILURE(
        Start(config, L"A", L"--set 11=1.25 --set 12=-3.5 --fault 11=late:180*2 --fault 12=late:120"));
    ASSERT_TRUE(c.Transports()[0]->Open());
    CCycleWindow window;
    for (int pass = 1; pass <= 3; ++pass) {
        ASSERT_TRUE(window.RunPasses(c, pass, 30000));
        EXPECT_NE(c.FindValue(L"U12")->payload.f, 1.25f) << "pass " << pass;
    }
    EXPECT_EQ(window.failures + window.timers, 3);
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 1.25f);
    EXPECT_FLOAT_EQ(c.FindValue(L"U12")->payload.f, -3.5f);
}

// A reply cut off or garbled on the line is asked for once more at once: one bad reply costs a
// repeat and the pass goes on; two in a row fail the pass and change no value. Without the
// checksum the cut reply (the last field lost "750" and the carriage return) would read 3 for 3,75.
TEST_F(ControllerLine, ABadReplyIsAskedOnceMoreAndTwoInARowFailThePass)
{
    struct Case {
        const wchar_t* fault;
        bool passes;
        float value;
    } cases[] = {{L"cut:4*1", true, 3.75f}, {L"garbage*1", true, 3.75f}, {L"cut:4", false, 0.0f},
                 {L"garbage*2", false, 0.0f}};
    std::string config = Wrap(0, Port("A", pairs[0].first, 40) + Device("ICP7017", "A", "11", Item("U8", 7)));
    for (const Case& each : cases) {
        CDevsim simulator(config, L"A", ComName(pairs[0].second),
                          (L"--set 11=0:0:0:0:0:0:0:3.75 --fault 11=" + std::wstring(each.fault)).c_str());
        ASSERT_TRUE(simulator.Ready());
        CController engine;
        ASSERT_EQ(LoadConfig(config, engine), S_OK);
        ASSERT_TRUE(engine.Transports()[0]->Open());
        CCycleWindow window;
        ASSERT_TRUE(window.RunPasses(engine, 1, 30000));
        std::string fault = WideToAnsi(each.fault);
        EXPECT_EQ(window.timers, each.passes ? 1 : 0) << fault;
        EXPECT_FLOAT_EQ(engine.FindValue(L"U8")->payload.f, each.value) << fault;
        ASSERT_TRUE(simulator.WaitForRequests(2));
        EXPECT_EQ(Commands(simulator), (std::vector<std::string>{"#11", "#11"})) << fault;
        EXPECT_EQ(engine.RepeatedExchanges(), 1) << fault;
    }
}

// The modules answer 300 ms after each request, within the delay of 400 ms.
TEST_F(ControllerLine, StopWaitsForTheRunningPass)
{
    const int delay = 400;
    std::string config = Wrap(10, Port("A", pairs[0].first, delay) + Device("ICP7017", "A", "11") +
                                       Device("ICP7017", "A", "12"));
    ASSERT_NO_FATAL_FAILURE(Start(config, L"A", L"--turnaround 300"));
    std::wstring report;
    ASSERT_TRUE(c.CheckLinks(report));
    size_t skip = sim->Requests().size();
    CCycleWindow window;
    ASSERT_TRUE(c.StartCycle(window));
    ::Sleep(delay / 2 + 10);  // the first pass (after one period of 10 ms) is in its first exchange
    DWORD start = ::GetTickCount();
    c.StopCycle();
    DWORD waited = ::GetTickCount() - start;
    EXPECT_GE(waited, DWORD(delay / 4)) << "the stop returned before the pass ended";
    ::Sleep(2 * delay);
    EXPECT_EQ(sim->Requests().size() - skip, 2u) << "the running pass finished both reads, and no pass followed";
    window.Pump(1, 2000);
    EXPECT_EQ(window.timers, 1);  // that pass's refresh message still arrives
}

TEST(ControllerPipe, APipeSegmentWithDconAndModbusDevicesServedByDevsim)
{
    CComApartment apartment;
    std::string config = Wrap(20, R"(<port name="P" id="\\.\pipe\orvex-cycle-pipe" delay="100" lrc="on"/>
)" + Device("ICP7017", "P", "11", Item("U11", 0)) + Device("IVA8", "P", "1", Item("DEW", 0)) +
                                       Device("RRG12", "P", "3", Item("FLOW", 1)));
    CController c;
    ASSERT_EQ(LoadConfig(config, c), S_OK);  // the engine serves the pipe; devsim is its client
    CDevsim sim(config, L"P", L"\\\\.\\pipe\\orvex-cycle-pipe", L"--set 11=2.5 --set 1=166.84 --set 3=10:1");
    ASSERT_TRUE(sim.Ready());
    std::wstring report;
    EXPECT_TRUE(c.CheckLinks(report)) << report.c_str();
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 3, 30000));
    EXPECT_EQ(window.failures, 0);
    EXPECT_EQ(window.timers, 3);
    EXPECT_FLOAT_EQ(c.FindValue(L"U11")->payload.f, 2.5f);
    EXPECT_NEAR(c.FindValue(L"DEW")->payload.f, 166.84f, 0.001f);
    EXPECT_FLOAT_EQ(c.FindValue(L"FLOW")->payload.f, 1.0f);
}

TEST_F(ControllerLine, RangeSettingReadsTheConfigurationThenSetsIt)
{
    std::string config = Wrap(20, Port("A", pairs[0].first, 40, "DCON", "on") + Device("ICP7041D", "A", "02") +
                                       Device("ICP7017", "A", "11") + Device("ICP7017", "A", "011"));
    ASSERT_NO_FATAL_FAILURE(Start(config, L"A"));
    std::wstring report;
    c.CheckLinks(report);  // opens the port; devsim has no module "011", which is not the one set
    size_t skip = sim->Requests().size();
    EXPECT_TRUE(c.SetInputRange(L"09"));
    auto commands = Commands(*sim, skip);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], WithChecksum("$112"));
    EXPECT_EQ(commands[1], WithChecksum("%1111090640"));  // devsim's module answers !11080640 at first
    EXPECT_TRUE(c.SetInputRange(L"0D"));
    EXPECT_EQ(Commands(*sim, skip).back(), WithChecksum("%11110D0640"));
}

// Formulas see every variable by its value, read by its tag; an output is on when its value is
// not zero (a float -0,0 is off).
TEST_F(ControllerLine, FormulasSeeTheValuesReadInTheSamePass)
{
    auto item = [](const char* id, int idx, const char* direction, const char* type) {
        return std::string("<item id=\"") + id + "\" idx=\"" + std::to_string(idx) + "\" reg=\"0\" direction=\"" +
               direction + "\" type=\"" + type + "\" description=\"i\"/>";
    };
    std::string config = Wrap(0, Port("A", pairs[0].first, 40) + Device("ICP7017", "A", "11", Item("U1", 0)) +
                                      Device("ICP7052D", "A", "52", item("C", 0, "IN", "C")) +
                                      Device("ICP7041D", "A", "41", item("K", 0, "IN", "D")) +
                                      Device("ICP7044D", "A", "44", item("O0", 0, "OUT", "D") + item("O1", 1, "OUT", "D")) +
                                      R"(
<variable name="P" type="A" description="p" percision="3">P = U1 * 2,5</variable>
<variable name="CK" type="A" description="ck">CK = C + K</variable>
<expression name="O0">O0 = -0</expression>
<expression name="O1">O1 = K</expression>
)");
    ASSERT_NO_FATAL_FAILURE(Start(config, L"A", L"--set 11=1.25 --set 52=123 --set 41=FFFE"));
    ASSERT_TRUE(c.Transports()[0]->Open());
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 1, 30000));
    ASSERT_EQ(window.timers, 1);
    EXPECT_FLOAT_EQ(c.FindValue(L"P")->payload.f, 3.125f);
    EXPECT_FLOAT_EQ(c.FindValue(L"CK")->payload.f, 124.0f);
    ASSERT_TRUE(sim->WaitForRequests(5));
    EXPECT_EQ(Commands(*sim), (std::vector<std::string>{"#11", "#520", "@41", "@44", "@4402"}));
}
