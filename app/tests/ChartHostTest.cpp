// orvex with the chart control registered: the control sits in the host window in place of the
// placeholder and takes the refreshes' points.
#include "ChartRegistration.h"
#include "DialogProbe.h"
#include "OrvexSession.h"
#include "OrvexTestConfigs.h"
#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

namespace {
HWND ChildOfClass(HWND parent, const wchar_t* windowClass)
{
    return ::FindWindowExW(parent, nullptr, windowClass, nullptr);
}
}  // namespace

TEST(ChartHost, RegisteredControlFillsTheChartAreaAndOrvexRunsWithIt)
{
    CChartRegistration registration;
    ASSERT_EQ(registration.Result(), 0);
    // The chart variable S is so small that the chart paints it in the g form.
    COrvexSession orvex(Configuration(R"(
  <variable name="S" type="A" description="Малое" percision="3">S = 0,0000123</variable>
  <variable name="P" type="A" description="Давление" percision="3">P = 2,5</variable>)"));
    ASSERT_TRUE(orvex.Start());
    HWND dialog = orvex.MainWindow();
    ASSERT_NE(dialog, nullptr);

    HWND host = ChildOfClass(dialog, L"AtlAxWin");
    ASSERT_NE(host, nullptr);
    RECT hostRect, dialogRect;
    ::GetClientRect(host, &hostRect);
    ::GetClientRect(dialog, &dialogRect);
    EXPECT_GT(hostRect.right, dialogRect.right / 3);  // about half the dialog's width
    HWND control = ::GetWindow(host, GW_CHILD);
    ASSERT_NE(control, nullptr) << "the control did not make its window in the host";

    PressKey(dialog, VK_F5);
    HWND list = ::GetDlgItem(dialog, 1000);
    EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 1, 2) == L"2.5"; }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, 1008) >= L"00:00:03"; }, 30000));
    // Its paints switch the process's exponents to two digits; orvex's own texts keep three.
    EXPECT_EQ(ListViewText(list, 0, 2), L"1.23e-005");
    PressKey(dialog, VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(dialog, 1) == L"Старт"; }, 30000));
    EXPECT_EQ(ItemText(dialog, 1007), L"2" + DecimalSeparator() + L"5e+008");
    PressKey(dialog, VK_F10);
    EXPECT_EQ(orvex.Wait(20000), 2);
}
