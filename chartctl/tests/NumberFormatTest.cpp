#include "NumberFormat.h"
#include <gtest/gtest.h>
#include <clocale>
#include <string>

namespace {
std::wstring Print(const wchar_t* chartFormat, float last, double value)
{
    wchar_t format[512], text[512];
    MakePaintFormat(chartFormat, last, format, 512);
    PrintNumber(text, 512, format, value);
    return text;
}

class NumberFormat : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(setlocale(LC_ALL, "Russian"), nullptr); }
    void TearDown() override { setlocale(LC_ALL, "C"); }
};
}  // namespace

TEST_F(NumberFormat, DefaultFormatPrintsWidthSixWithADecimalComma)
{
    EXPECT_EQ(Print(L"%6.1f", 12.34f, 12.34), L"  12,3");
}

TEST_F(NumberFormat, PrecisionFormatsRound)
{
    EXPECT_EQ(Print(L"%.2f", 12.345f, 12.345), L"12,35");
    EXPECT_EQ(Print(L"%.f", 5.6f, 5.6), L"6");
}

TEST_F(NumberFormat, ASmallLatestValueSwitchesEveryNumberToTheGForm)
{
    EXPECT_EQ(Print(L"%.2f", 0.004f, 0.004), L"0,004");
    EXPECT_EQ(Print(L"%.2f", 0.004f, 12.7), L"13");
    EXPECT_EQ(Print(L"%.2f", -0.001f, 0.00001234), L"1,2e-05");
    EXPECT_EQ(Print(L"%.2g", 5.0f, 12.345), L"12,35");  // back to f once the value is larger
}

TEST_F(NumberFormat, AHugePrecisionIsCutToTheBuffer)
{
    const std::wstring text = Print(L"%.1000f", 1.5f, 1.5);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text.substr(0, 4), L"1,50");
}
