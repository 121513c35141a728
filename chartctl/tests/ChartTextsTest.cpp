#include "ChartTexts.h"
#include "NumberFormat.h"
#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {
using Texts = std::vector<std::wstring>;

std::wstring Print(const wchar_t* chartFormat, float last, double value)
{
    wchar_t format[512], text[512];
    MakePaintFormat(chartFormat, last, format, 512);
    PrintNumber(text, 512, format, value);
    return text;
}

class ChartTexts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(setlocale(LC_ALL, "Russian"), nullptr); }
    void TearDown() override { setlocale(LC_ALL, "C"); }

    // The texts of a paint of a 640 x 320 plot (span 128) over the values, the first given two
    // seconds after construction and the others a second apart: the interval stays 1000 ms.
    // In the order readout, minimum, maximum, middle, time span.
    Texts Paint(int precision, std::initializer_list<float> values)
    {
        CChartModel model(1000, 0);
        model.SetPrecision(precision);
        LONGLONG now = 2000;
        for (float value : values) {
            VARIANT v;
            v.vt = VT_R4;
            v.fltVal = value;
            model.Add(&v, now);
            now += 1000;
        }
        auto snapshot = std::make_unique<CChartSnapshot>();
        model.TakeSnapshot(640, 320, *snapshot);
        CChartTexts texts;
        FormatChartTexts(*snapshot, texts);
        return {texts.value, texts.minimum, texts.maximum, texts.middle, texts.span};
    }
};
}  // namespace

TEST_F(ChartTexts, DefaultFormatPrintsWidthSixWithADecimalComma)
{
    EXPECT_EQ(Print(L"%6.1f", 12.34f, 12.34), L"  12,3");
}

TEST_F(ChartTexts, PrecisionFormatsRound)
{
    EXPECT_EQ(Print(L"%.2f", 12.345f, 12.345), L"12,35");
    EXPECT_EQ(Print(L"%.f", 5.6f, 5.6), L"6");
}

TEST_F(ChartTexts, ASmallLatestValueSwitchesEveryNumberToTheGForm)
{
    EXPECT_EQ(Print(L"%.2f", 0.004f, 0.004), L"0,004");
    EXPECT_EQ(Print(L"%.2f", 0.004f, 12.7), L"13");
    EXPECT_EQ(Print(L"%.2f", -0.001f, 0.00001234), L"1,2e-05");
    EXPECT_EQ(Print(L"%.2g", 5.0f, 12.345), L"12,35");  // back to f once the value is larger
}

TEST_F(ChartTexts, AHugePrecisionIsCutToTheBuffer)
{
    const std::wstring text = Print(L"%.1000f", 1.5f, 1.5);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text.substr(0, 4), L"1,50");
}

TEST_F(ChartTexts, APaintLabelsTheBoundsTheMiddleAndTheSpanInTheChartsFormat)
{
    // 1000 ms x 128 samples = 2,13 minutes
    EXPECT_EQ(Paint(1, {0, 10, 5}), (Texts{L"5,0", L"0,0", L"10,0", L"5,0", L"2 мин"}));
}

TEST_F(ChartTexts, TwoSamplesShowOnlyTheReadoutAndEqualOnesNoMaximumOrMiddle)
{
    EXPECT_EQ(Paint(1, {1, 2}), (Texts{L"2,0", L"", L"", L"", L""}));
    EXPECT_EQ(Paint(1, {3, 3, 3}), (Texts{L"3,0", L"3,0", L"", L"", L"2 мин"}));
}

TEST_F(ChartTexts, ASmallLatestValuePutsEveryNumberOfThePaintInTheGForm)
{
    EXPECT_EQ(Paint(2, {10, 0, 0.004f}), (Texts{L"0,004", L"0", L"10", L"5", L"2 мин"}));
}

// Not-a-number and infinite samples are gaps: the labels come from the finite ones, without any
// there are none, and such a latest value reads as a dash.
TEST_F(ChartTexts, LabelsComeFromTheFiniteSamplesOnly)
{
    EXPECT_EQ(Paint(1, {0, NAN, 10, INFINITY, 5}), (Texts{L"5,0", L"0,0", L"10,0", L"5,0", L"2 мин"}));
    EXPECT_EQ(Paint(1, {NAN, -INFINITY, NAN}), (Texts{L"—", L"", L"", L"", L"2 мин"}));
}
