#include "ConfigFile.h"
#include "CycleWindow.h"
#include "Evaluator.h"
#include "PipeResponder.h"
#include "TextConv.h"
#include <windows.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

namespace {
std::string Config(int period, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"" + std::to_string(period) + "\">\n" +
           body + "\n</configuration>\n";
}

const char kIdlePort[] =
    R"(<port name="seg1" id="COM40" dcb="9600,n,8,1" protocol="DCON" delay="10" crc="off" lrc="off"/>)";

class Controller : public ::testing::Test {
protected:
    CComApartment apartment;
};

int ThreadsOfThisProcess()
{
    CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}
}  // namespace

TEST_F(Controller, PassesRunFormulasInOrderAndPostTimer)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(30, std::string(kIdlePort) + R"(
  <expression name="PROLOGUE">a = 5</expression>
  <variable name="n" type="A" description="passes">n = n + 1</variable>
  <variable name="P" type="A" description="same pass">P = a * 2 + n</variable>
  <variable name="Y0" type="A" description="source"></variable>
  <variable name="Z" type="A" description="from Y0">Z = Y0 + 1</variable>
  <expression name="EPILOGUE">a = 100</expression>
)"), c), S_OK);
    CCycleWindow window;
    ASSERT_TRUE(c.StartCycle(window));
    window.Pump(3, 20000);
    c.EnterLock();
    c.SetValue(L"Y0", 3.0f);
    c.LeaveLock();
    window.timers = 0;
    window.Pump(2, 20000);
    c.StopCycle();
    EXPECT_EQ(window.failures, 0);
    ASSERT_GE(window.timers, 2);

    float n = c.FindValue(L"n")->payload.f;
    EXPECT_GE(n, 5.0f);
    EXPECT_EQ(c.FindValue(L"n")->tag, TagFloat);
    // The prologue of the same pass set a = 5 before the formulas; the epilogue's 100 comes later.
    EXPECT_FLOAT_EQ(c.FindValue(L"P")->payload.f, 10.0f + n);
    EXPECT_FLOAT_EQ(c.FindValue(L"Z")->payload.f, 4.0f);
    EXPECT_FALSE(c.IsCycleRunning());
}

// A formula that fails keeps its value and says why; the link report names each failing formula
// once. A formula written on a line of its own runs. Before the first pass no prologue has run: a
// formula over a name the prologue sets is no failure then.
TEST_F(Controller, AFailingFormulaSaysWhyAndIsNamedOnceInTheLinkReport)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(0, std::string(kIdlePort) + R"(
  <variable name="n" type="A" description="n">
    n = n + 1
  </variable>
  <variable name="X" type="A" description="x">X = Temp + 1</variable>
  <variable name="R" type="A" description="r">R = sqrt(0 - 1)</variable>
  <variable name="G" type="A" description="g">G = K * 3</variable>
  <expression name="PROLOGUE">K = 2</expression>
  <expression name="EPILOGUE">q = 1 / 0</expression>
)"), c), S_OK);
    c.ComputeStartValues();
    EXPECT_TRUE(c.Variables()[3]->failure.empty());
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 1, 20000));
    ASSERT_EQ(window.timers, 1) << "a failing formula does not fail the pass";
    EXPECT_FLOAT_EQ(c.FindValue(L"n")->payload.f, 2.0f);  // once at the start, once in the pass
    const CVariable& x = *c.Variables()[1];
    const CVariable& r = *c.Variables()[2];
    EXPECT_EQ(x.failure, L"Unknown variable");
    EXPECT_EQ(r.failure, L"не число");
    EXPECT_EQ(r.value->tag, TagBoolean) << "the value is kept";
    EXPECT_TRUE(c.Variables()[0]->failure.empty());
    EXPECT_FLOAT_EQ(c.FindValue(L"G")->payload.f, 6.0f);

    std::wstring report;
    c.CheckLinks(report);
    EXPECT_EQ(report, L"Формула X не вычисляется: Unknown variable, позиция 8 («Temp»)\n"
                      L"Формула R не вычисляется: не число\n"
                      L"Формула EPILOGUE не вычисляется: Division by zero, позиция 8\n");
    ASSERT_TRUE(window.RunPasses(c, 1, 20000));
    c.CheckLinks(report);
    EXPECT_EQ(report, L"") << "each formula is named once";
}

TEST_F(Controller, PeriodZeroFiresOnce)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(0, std::string(kIdlePort) + R"(<variable name="n" type="A" description="n">n = n + 1</variable>)"), c), S_OK);
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 2, 1500));
    EXPECT_EQ(window.timers, 1);
    EXPECT_FLOAT_EQ(c.FindValue(L"n")->payload.f, 1.0f);
}

TEST_F(Controller, DeviceOnAClosedPortFailsEveryPass)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(20, std::string(kIdlePort) + R"(
  <device name="ICP7017" transport="seg1" addres="11" description="never opened"/>
  <variable name="n" type="A" description="n">n = n + 1</variable>
)"), c), S_OK);
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 3, 20000));
    EXPECT_EQ(window.timers, 0);
    EXPECT_GE(window.failures, 3);
    EXPECT_FLOAT_EQ(c.FindValue(L"n")->payload.f, 0.0f);  // formulas are skipped after a failed read
}

TEST_F(Controller, FortySegmentsAreWaitedForInGroups)
{
    std::string ports;
    for (int i = 0; i < 40; ++i)
        ports += "<port name=\"p" + std::to_string(i) + R"(" id="\\.\pipe\orvex-forty-)" + std::to_string(i) + "\"/>\n";
    CController c;
    ASSERT_EQ(LoadConfig(Config(20, ports), c), S_OK);
    ASSERT_EQ(c.Workers().size(), 40u);
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 3, 20000));
    EXPECT_EQ(window.failures, 0);
    EXPECT_GE(window.timers, 3);
}

// A pipe segment without a client makes the first pass wait half a second for it: hundreds of
// timer ticks of 1 ms come meanwhile, and none may be left holding a thread of its own.
TEST_F(Controller, TicksDuringALongPassMakeOneMorePassAndNoWaitingThreads)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(1, R"(<port name="P" id="\\.\pipe\orvex-long-pass"/>
  <device name="ICP7017" transport="P" addres="11" description="Аналоговый"/>)"), c), S_OK);
    ASSERT_TRUE(c.Transports()[0]->Open());
    int before = ThreadsOfThisProcess();
    CCycleWindow window;
    ASSERT_TRUE(c.StartCycle(window));
    window.Pump(2, 20000);
    int during = ThreadsOfThisProcess();
    c.StopCycle();
    EXPECT_GE(window.failures, 2);
    EXPECT_LT(during - before, 20);
}

// A pipe segment no program is connected to costs one time limit, not one per device, and the
// report says why its devices did not answer.
TEST_F(Controller, APipeWithoutAPeerIsNamedInTheLinkReport)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(0, R"(<port name="P" id="\\.\pipe\orvex-no-peer"/>
  <device name="ICP7017" transport="P" addres="11" description="a"/>
  <device name="ICP7017" transport="P" addres="12" description="b"/>
  <device name="ICP7041D" transport="P" addres="13" description="c"/>)"), c), S_OK);
    std::wstring report;
    DWORD start = ::GetTickCount();
    EXPECT_FALSE(c.CheckLinks(report));
    DWORD took = ::GetTickCount() - start;
    EXPECT_EQ(report, L"Связь c ICP7017:11 (a) по \\\\.\\pipe\\orvex-no-peer НЕТ\n"
                      L"Связь c ICP7017:12 (b) по \\\\.\\pipe\\orvex-no-peer НЕТ\n"
                      L"Связь c ICP7041D:13 (c) по \\\\.\\pipe\\orvex-no-peer НЕТ\n"
                      L"К каналу \\\\.\\pipe\\orvex-no-peer не подключена ни одна программа\n");
    EXPECT_LT(took, 1500u) << "one time limit of 500 ms, not one per device";
}

TEST_F(Controller, StopAndRestartAndLockWhileStopped)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(10, kIdlePort), c), S_OK);
    c.EnterLock();  // stopped: no lock exists, nothing happens
    c.LeaveLock();
    c.StopCycle();
    CCycleWindow window;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(c.StartCycle(window));
        EXPECT_TRUE(c.IsCycleRunning());
        c.StopCycle();
        EXPECT_FALSE(c.IsCycleRunning());
    }
}

TEST_F(Controller, ValuesByName)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(10, R"(<variable name="Y0" type="D" description="y"></variable>)"), c), S_OK);
    EXPECT_EQ(c.FindValue(L"nothing"), nullptr);
    EXPECT_EQ(c.SetValue(L"nothing", 1.0f), nullptr);
    CValue* y0 = c.SetValue(L"Y0", 2.0f);
    ASSERT_NE(y0, nullptr);
    EXPECT_EQ(y0->tag, TagFloat);  // so that formulas read it as the float it holds
    EXPECT_FLOAT_EQ(y0->payload.f, 2.0f);
}

TEST_F(Controller, LinkCheckReportsEveryDeviceAndRangeNeedsModule11)
{
    CController c;
    ASSERT_EQ(LoadConfig(Config(10, std::string(kIdlePort) + R"(
  <device name="ICP7017" transport="seg1" addres="11" description="Аналоговый"/>
  <device name="ICP7041D" transport="seg1" addres="02" description="Дискретный"/>
)"), c), S_OK);
    std::wstring report;
    EXPECT_FALSE(c.CheckLinks(report));
    EXPECT_EQ(report, L"Связь c ICP7017:11 (Аналоговый) по COM40 НЕТ\n"
                      L"Связь c ICP7041D:02 (Дискретный) по COM40 НЕТ\n");
    EXPECT_FALSE(c.SetInputRange(L"09"));  // the module is there but its port does not open

    CController empty;
    ASSERT_EQ(LoadConfig(Config(10, ""), empty), S_OK);
    EXPECT_TRUE(empty.CheckLinks(report));
    EXPECT_EQ(report, L"");
    EXPECT_FALSE(empty.SetInputRange(L"09"));
}

// The module answers through a pipe, one reply for the configuration read and one for the set.
TEST_F(Controller, RangeSettingCopiesOnlyTheModulesOwnConfigurationAndNeedsItsAcknowledgement)
{
    const std::string path = "\\\\.\\pipe\\orvex-range-" + std::to_string(::GetCurrentProcessId());
    CController c;
    ASSERT_EQ(LoadConfig(Config(10, "<port name=\"P\" id=\"" + path + R"("/>
  <device name="ICP7017" transport="P" addres="11" description="a"/>)"), c), S_OK);
    std::string configuration = "!11080600\r", acknowledgement = "!11\r";
    CPipeResponder module(AnsiToWide(path), [&](const std::string& request, std::string& reply) {
        reply = request[0] == '$' ? configuration : acknowledgement;
        return true;
    });
    ASSERT_TRUE(module.Connected());
    EXPECT_TRUE(c.SetInputRange(L"09"));
    EXPECT_EQ(module.Requests(), (std::vector<std::string>{"$112\r", "%1111090600\r"}));

    acknowledgement = "?11\r";
    EXPECT_FALSE(c.SetInputRange(L"09"));  // the module refused the new settings
    for (const char* reply : {"", "?11\r", "!12080600\r", "\x7F\xFE#%\x01garbage\x80"}) {
        configuration = reply;
        EXPECT_FALSE(c.SetInputRange(L"0D")) << reply;
    }
    EXPECT_EQ(module.Requests().size(), 8u);  // nothing was set from those replies
    EXPECT_EQ(module.Requests().back(), "$112\r");
}

// A pipe name that another program serves already is not shared with it: the segment's devices
// are reported "НЕТ" with the reason, and a pass fails instead of taking that program's clients.
TEST_F(Controller, APipeNameHeldByAnotherProgramIsNotServed)
{
    const wchar_t path[] = L"\\\\.\\pipe\\orvex-taken-name";
    CHandle other(::CreateNamedPipeW(path, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, PIPE_UNLIMITED_INSTANCES, 512, 512,
                                     0, nullptr));
    ASSERT_TRUE(other.IsValid());
    CController c;
    ASSERT_EQ(LoadConfig(Config(0, R"(<port name="P" id="\\.\pipe\orvex-taken-name"/>
  <device name="ICP7017" transport="P" addres="11" description="Аналоговый"/>)"), c), S_OK);
    std::wstring report;
    EXPECT_FALSE(c.CheckLinks(report));
    EXPECT_EQ(report, L"Связь c ICP7017:11 (Аналоговый) по \\\\.\\pipe\\orvex-taken-name НЕТ\n"
                      L"Имя канала \\\\.\\pipe\\orvex-taken-name занято другой программой\n");
    CCycleWindow window;
    ASSERT_TRUE(window.RunPasses(c, 1, 20000));
    EXPECT_EQ(window.failures, 1);

    other.Close();  // once the name is free, the segment takes it
    for (int i = 0; i < 100 && !c.Transports()[0]->Open(); ++i)
        ::Sleep(100);
    EXPECT_TRUE(c.Transports()[0]->Open());
}
