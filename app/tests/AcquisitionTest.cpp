// A whole acquisition run of orvex against devsim on two pty lines. The checksum is on for
// both segments: only then does a silent module fail its exchange. The reply delay leaves
// devsim time to answer on a loaded machine.
#include "DialogProbe.h"
#include "Devsim.h"
#include "OrvexSession.h"
#include "OrvexTestConfigs.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace {
std::string TwoSegments(int host1, int host2)
{
    return Configuration(R"(
  <port name="seg1" id="COM)" + std::to_string(host1) + R"(" dcb="9600,n,8,1" protocol="DCON" delay="150" crc="off" lrc="on"/>
  <port name="seg2" id="COM)" + std::to_string(host2) + R"(" dcb="9600,n,8,1" protocol="DCON" delay="150" crc="off" lrc="on"/>
  <device name="ICP7017" transport="seg1" addres="11" description="Аналоговый модуль">
    <item id="U1" idx="0" reg="0" direction="IN" type="A" description="Напряжение" percision="4"/>
    <item id="U2" idx="1" reg="0" direction="IN" type="A" description="Ток" percision="2"/>
  </device>
  <device name="ICP7041D" transport="seg2" addres="41" description="Дискретный модуль">
    <item id="K1" idx="1" reg="0" direction="IN" type="D" description="Клапан"/>
  </device>
  <variable name="P" type="A" description="Давление" percision="3">P = U1 * 2</variable>
  <expression name="U1">U1 = U1</expression>)",
                         1000);
}

std::wstring ReportLine(const std::wstring& device, const std::wstring& description, int port, const wchar_t* answer)
{
    return L"Связь c " + device + L" (" + description + L") по COM" + std::to_wstring(port) + L" " + answer + L"\n";
}

class Acquisition : public ::testing::Test {
protected:
    std::wstring TakeLinkReport() { return orvex->TakeMessageBox(kLinkReportCaption, 60000); }
    std::unique_ptr<COrvexSession> orvex;
};
}  // namespace

TEST_F(Acquisition, ValuesRefreshUntilADeviceFallsSilentThenTheReportNamesIt)
{
    auto pairs = RigPairs();
    ASSERT_GE(pairs.size(), 2u) << "the rig made too few pty pairs";
    int host1 = pairs[0].first, sim1 = pairs[0].second, host2 = pairs[1].first, sim2 = pairs[1].second;
    std::string configuration = TwoSegments(host1, host2);
    CDevsim analog(configuration, L"seg1", ComName(sim1), L"--set 11=1.25:-0.5");
    auto digital = std::make_unique<CDevsim>(configuration, L"seg2", ComName(sim2), L"--set 41=FFFE");
    ASSERT_TRUE(analog.Ready());
    ASSERT_TRUE(digital->Ready());

    orvex = std::make_unique<COrvexSession>(configuration);
    ASSERT_TRUE(orvex->Start()) << ::GetLastError();
    HWND dialog = orvex->MainWindow();
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, 1000);

    // The link check opens the ports.
    PressKey(dialog, VK_F2);
    EXPECT_EQ(TakeLinkReport(), ReportLine(L"ICP7017:11", L"Аналоговый модуль", host1, L"ЕСТЬ") +
                                    ReportLine(L"ICP7041D:41", L"Дискретный модуль", host2, L"ЕСТЬ"));
    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, 1)));

    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 2) == L"1.25"; }, 30000)) << ListViewText(list, 0, 2);
    EXPECT_EQ(ListViewText(list, 1, 2), L"-0.5");
    EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 3, 2) == L"2.5"; }, 30000)) << ListViewText(list, 3, 2);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, 1008) >= L"00:00:02"; }, 30000));
    EXPECT_EQ(ItemText(dialog, 1), L"Стоп");

    digital.reset();
    std::wstring report = TakeLinkReport();
    EXPECT_EQ(report, ReportLine(L"ICP7017:11", L"Аналоговый модуль", host1, L"ЕСТЬ") +
                          ReportLine(L"ICP7041D:41", L"Дискретный модуль", host2, L"НЕТ"));
    EXPECT_EQ(ItemText(dialog, 1), L"Старт");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, 1)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, 3)));

    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex->Wait(20000), 2);
}

// Without the checksum a silent module's empty reply and a noisy one pass the line; the range
// setting itself must refuse them and send nothing built from them.
TEST_F(Acquisition, RangeButtonsSetNothingFromASilentRefusingOrNoisyModule)
{
    auto pairs = RigPairs();
    ASSERT_GE(pairs.size(), 1u) << "the rig made too few pty pairs";
    std::string configuration = Configuration(R"(
  <port name="seg1" id="COM)" + std::to_string(pairs[0].first) + R"(" dcb="9600,n,8,1" protocol="DCON" delay="150" crc="off" lrc="off"/>
  <device name="ICP7017" transport="seg1" addres="11" description="Аналоговый модуль"/>)");
    orvex = std::make_unique<COrvexSession>(configuration);
    ASSERT_TRUE(orvex->Start()) << ::GetLastError();
    HWND dialog = orvex->MainWindow();
    ASSERT_NE(dialog, nullptr);
    // The silent module also lets the link check, which opens the port, go unanswered.
    bool first = true;
    for (const wchar_t* fault : {L"silent*3", L"exception*1", L"garbage*1"}) {
        CDevsim module(configuration, L"seg1", ComName(pairs[0].second), L"--fault 11=" + std::wstring(fault));
        ASSERT_TRUE(module.Ready());
        std::vector<std::string> expected{LoggedLine("$112", false)};
        if (std::exchange(first, false)) {
            PressKey(dialog, VK_F2);
            TakeLinkReport();
            expected.insert(expected.begin(), 2, LoggedLine("$11M", false));  // the link test asks twice
        }
        ClickButton(dialog, 12);
        EXPECT_EQ(orvex->TakeMessageBox(L"МИРЕЛ"), L"Ошибка при установке масштаба") << fault;
        EXPECT_EQ(module.Requests(), expected) << fault;
    }
    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex->Wait(20000), 2);
}

// The operator sets the RRG-12's set point on the gas-mixture tab while acquisition runs: a value
// the device cannot take is refused, 12,5 reaches the device as 1250 in register 4 and stays in
// controller.xml (nothing else there changes) for the next run.
TEST_F(Acquisition, TheMixtureTabSetsTheSetPointAndTheNextRunStartsWithIt)
{
    auto pairs = RigPairs();
    ASSERT_GE(pairs.size(), 1u) << "the rig made too few pty pairs";
    const std::string setPoint =
        R"(<item id="SET" idx="0" reg="4" direction="OUT" type="A" description="Уставка расхода, л/ч" percision="2")";
    std::string configuration = Configuration(R"(
  <port name="Iva" id="COM)" + std::to_string(pairs[0].first) + R"(" dcb="9600,n,8,1" protocol="RTU" delay="100" crc="on" lrc="off"/>
  <device name="RRG12" transport="Iva" addres="3" description="Регулятор расхода газа">
    <item id="FLOW" idx="0" reg="4" direction="IN" type="A" description="Расход, л/ч" percision="2"/>
    )" + setPoint + R"(/>
  </device>)",
                                              500);
    CDevsim regulator(configuration, L"Iva", ComName(pairs[0].second));
    ASSERT_TRUE(regulator.Ready());
    orvex = std::make_unique<COrvexSession>(configuration);
    ASSERT_TRUE(orvex->Start()) << ::GetLastError();
    HWND dialog = orvex->MainWindow();
    ASSERT_NE(dialog, nullptr);
    PressKey(dialog, VK_F2);
    TakeLinkReport();
    PressKey(dialog, VK_F5);
    ClickTab(::GetDlgItem(dialog, 1019), 1);
    HWND rows = ::GetDlgItem(::GetDlgItem(dialog, 1020), 1022);
    HWND edit = ::GetDlgItem(rows, 2000);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(edit); }, 10000));
    EXPECT_EQ(ItemText(rows, 2001), L"0");

    SetItemText(rows, 2000, L"700");
    PressKey(edit, VK_RETURN);
    EXPECT_EQ(orvex->TakeMessageBox(L"МИРЕЛ"),
              L"Поле «Уставка расхода, л/ч» (SET): «700» — уставка РРГ-12 задаётся от 0 до 655,35.\nНичего не задано.");
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dialog) == edit; }, 5000));
    EXPECT_EQ(ItemText(rows, 2001), L"0");

    SetItemText(rows, 2000, L"12,5");
    PressKey(edit, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(rows, 2001) == L"12,5"; }, 10000)) << ItemText(rows, 2001);
    auto sent = [&](const std::string& frame) {
        for (const std::string& request : regulator.Requests())
            if (request.compare(0, frame.size(), frame) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(WaitUntil([&] { return sent("03 06 00 04 04 E2"); }, 30000));  // 1250 into register 4
    EXPECT_FALSE(sent("03 06 00 04 FF FF"));                                     // 700 never went out
    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex->Wait(20000), 2);
    std::string saved = configuration;
    saved.replace(saved.find(setPoint), setPoint.size(), setPoint + R"( value="12,5")");
    EXPECT_EQ(orvex->ReadConfiguration(), saved);

    ASSERT_TRUE(orvex->Start());
    dialog = orvex->MainWindow();
    ASSERT_NE(dialog, nullptr);
    rows = ::GetDlgItem(::GetDlgItem(dialog, 1020), 1022);
    EXPECT_EQ(ItemText(rows, 2000), L"12,5");
    EXPECT_EQ(ItemText(rows, 2001), L"12,5");
    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex->Wait(20000), 2);
}
