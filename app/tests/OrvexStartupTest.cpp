#include "DialogProbe.h"
#include "OrvexSession.h"
#include "OrvexTestConfigs.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {
const wchar_t kLoadError[] = L"Ошибка обработки конфигурационного файла controller.xml";

// Reads the fatal box, presses OK and returns the exit code.
int FatalBoxText(COrvexSession& orvex, std::wstring& text)
{
    HWND box = orvex.WaitForDialog(L"КВАРТ-2");
    EXPECT_NE(box, nullptr);
    if (!box)
        return -1;
    text = MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return orvex.Wait(20000);
}
}  // namespace

TEST(OrvexStartup, MissingConfigurationEndsThroughTheFatalBoxWithTheLowWordOfTheLoaderResult)
{
    COrvexSession orvex("");
    ASSERT_TRUE(orvex.Start()) << ::GetLastError();
    std::wstring text;
    int code = FatalBoxText(orvex, text);
    ASSERT_GT(code, 0);
    EXPECT_LT(code, 0x10000);
    std::wstring codeLine = std::wstring(kLoadError) + L"\nКод ошибки " + std::to_wstring(code) + L": ";
    EXPECT_EQ(text.substr(0, codeLine.size()), codeLine);
}

TEST(OrvexStartup, RefusedConfigurationShowsTheLoadersReasonOnItsOwnLine)
{
    COrvexSession orvex(Configuration(R"(<device name="ICP9999" transport="seg1" addres="11" description="x"/>)"));
    ASSERT_TRUE(orvex.Start()) << ::GetLastError();
    std::wstring text;
    EXPECT_EQ(FatalBoxText(orvex, text), 13);
    std::wstring head = std::wstring(kLoadError) + L"\nЭлемент device";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find(L"\nКод ошибки 13: "), std::wstring::npos);
}

TEST(OrvexStartup, ListShowsOneRowPerVariableAndTheControlsTheirInitialTexts)
{
    COrvexSession orvex(SilentModuleConfiguration());
    ASSERT_TRUE(orvex.Start()) << ::GetLastError();
    HWND dialog = orvex.MainWindow();
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, 1000);
    ASSERT_EQ(ListViewRowCount(list), 4);
    const wchar_t* rows[4][2] = {{L"Напряжение", L"U1"}, {L"Ток", L"U2"}, {L"Давление", L"P"}, {L"Шкала", L"Y0"}};
    // The computed values are evaluated once before the list is filled: P = 2,5 shows at once.
    std::wstring zero = L"0" + DecimalSeparator() + L"000000e+000";
    std::wstring computed = L"2" + DecimalSeparator() + L"500000e+000";
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(ListViewText(list, row, 0), rows[row][0]);
        EXPECT_EQ(ListViewText(list, row, 1), rows[row][1]);
        EXPECT_EQ(ListViewText(list, row, 2), row == 2 ? computed : zero);
    }
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x00050023);
    EXPECT_EQ(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0), RGB(0, 115, 0));

    EXPECT_EQ(ItemText(dialog, 1005), L"-2" + DecimalSeparator() + L"5e+008");
    EXPECT_EQ(ItemText(dialog, 1007), L"2" + DecimalSeparator() + L"5e+008");
    for (int id : {1006, 1008, 1010})
        EXPECT_EQ(ItemText(dialog, id), L"");
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog, 1013), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::GetDlgItem(dialog, 1001), nullptr);  // the chart host took its place
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog, 1019), TCM_GETITEMCOUNT, 0, 0), 2);

    ClickButton(dialog, 2);
    EXPECT_EQ(orvex.Wait(20000), 2);
}

TEST(OrvexStartup, ConfigurationWithoutVariablesShowsAnEmptyList)
{
    COrvexSession orvex(Configuration(""));
    ASSERT_TRUE(orvex.Start()) << ::GetLastError();
    HWND dialog = orvex.MainWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ListViewRowCount(::GetDlgItem(dialog, 1000)), 0);
    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex.Wait(20000), 2);
}

TEST(OrvexStartup, CloseBoxEndsWithCodeTwo)
{
    COrvexSession orvex(FreeVariablesConfiguration());
    ASSERT_TRUE(orvex.Start()) << ::GetLastError();
    HWND dialog = orvex.MainWindow();
    ASSERT_NE(dialog, nullptr);
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(orvex.Wait(20000), 2);
}
