#include "ChartModel.h"
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>

namespace {
// A clock of 1000 ticks a second, so counter values read as milliseconds.
const LONGLONG kFrequency = 1000;

VARIANT R4(float value) { VARIANT v; v.vt = VT_R4; v.fltVal = value; return v; }
VARIANT I4(LONG value) { VARIANT v; v.vt = VT_I4; v.lVal = value; return v; }
VARIANT R8(double value) { VARIANT v; v.vt = VT_R8; v.dblVal = value; return v; }

void AddAll(CChartModel& model, std::initializer_list<float> values)
{
    for (float value : values) {
        VARIANT v = R4(value);
        model.Add(&v, 0);
    }
}
}  // namespace

TEST(ChartModel, AddTakesI4R4R8AndRepeatsTheLatestValueForAnythingElse)
{
    CChartModel model(kFrequency, 0);
    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    model.Add(&text, 0);  // nothing given yet: the initial 0 is appended
    VARIANT r4 = R4(12.5f), i4 = I4(100000), r8 = R8(2.25), i2;
    i2.vt = VT_I2;
    i2.iVal = 7;
    model.Add(&r4, 0);
    model.Add(&i4, 0);
    model.Add(&r8, 0);
    model.Add(&i2, 0);
    model.Add(nullptr, 0);
    EXPECT_EQ(model.Samples(), (std::deque<float>{0, 12.5f, 100000, 2.25f, 2.25f, 2.25f}));
    EXPECT_EQ(model.Min(), 0);
    EXPECT_EQ(model.Max(), 100000);
}

TEST(ChartModel, EqualSamplesMakeEqualBounds)
{
    CChartModel model(kFrequency, 0);
    EXPECT_EQ(model.Min(), FLT_MAX);
    EXPECT_EQ(model.Max(), -FLT_MAX);
    AddAll(model, {12.5f, 12.5f, 12.5f});
    EXPECT_EQ(model.Samples().size(), 3u);
    EXPECT_EQ(model.Min(), 12.5f);
    EXPECT_EQ(model.Max(), 12.5f);
}

TEST(ChartModel, IntervalIsARunningHalfWeightedAverage)
{
    CChartModel model(kFrequency, 0);
    VARIANT v = R4(1);
    model.Add(&v, 1000);
    EXPECT_FLOAT_EQ(model.Interval(), 500);
    model.Add(&v, 2000);
    EXPECT_FLOAT_EQ(model.Interval(), 750);
    model.Add(&v, 3000);
    EXPECT_FLOAT_EQ(model.Interval(), 875);
}

TEST(ChartModel, AddAsksForATrimOnlyPastTheSpanAndOutsideAPass)
{
    CChartModel model(kFrequency, 0);
    model.SetSpan(3);
    VARIANT v = R4(1);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(model.Add(&v, 0).wakeTrimmer);
    auto added = model.Add(&v, 0);
    EXPECT_TRUE(added.wakeTrimmer);
    EXPECT_TRUE(added.repaint);
    model.BeginTrim();
    added = model.Add(&v, 0);
    EXPECT_FALSE(added.wakeTrimmer);
    EXPECT_FALSE(added.repaint);  // the pass requests the repaints
    model.EndTrim();
    EXPECT_TRUE(model.Add(&v, 0).wakeTrimmer);
}

TEST(ChartModel, ATrimPassPastSpan128DropsSixtyFiveAndScrollsTheGrid)
{
    CChartModel model(kFrequency, 0);
    model.SetSpan(128);
    VARIANT v = R4(1);
    for (int i = 0; i < 129; ++i)
        v.fltVal = static_cast<float>(i), model.Add(&v, 0);
    const LONGLONG n = model.BeginTrim();
    ASSERT_EQ(n, 65);
    const int expected[] = {5, 0, 15, 10, 5, 0, 15};
    for (int i = 0; i < n; ++i) {
        model.DropOldest();
        if (i < 7) {
            EXPECT_EQ(model.GridPhase(), expected[i]) << "step " << i;
        }
    }
    model.EndTrim();
    EXPECT_EQ(model.GridPhase(), 5);
    ASSERT_EQ(model.Samples().size(), 64u);
    EXPECT_EQ(model.Samples().front(), 65);
    EXPECT_EQ(model.Min(), 65);  // the minimum went with the first drop
    EXPECT_EQ(model.Max(), 128);
}

TEST(ChartModel, OnlyDroppingABoundRecomputesTheBounds)
{
    CChartModel model(kFrequency, 0);
    AddAll(model, {5, 1, 9, 3});
    model.DropOldest();  // 5 lies strictly inside: bounds stay
    EXPECT_EQ(model.Min(), 1);
    EXPECT_EQ(model.Max(), 9);
    model.DropOldest();  // 1 was the minimum
    EXPECT_EQ(model.Min(), 3);
    EXPECT_EQ(model.Max(), 9);

    CChartModel wide(kFrequency, 0);
    AddAll(wide, {2, 8, 4, 6});
    wide.DropOldest();  // the minimum 2 goes; 8 stays the maximum
    EXPECT_EQ(wide.Min(), 4);
    EXPECT_EQ(wide.Max(), 8);
}

TEST(ChartModel, AnEmptiedListResetsTheBoundsForTheNextSample)
{
    CChartModel model(kFrequency, 0);
    model.SetSpan(1);
    AddAll(model, {4, 7});
    const LONGLONG n = model.BeginTrim();
    ASSERT_EQ(n, 2);
    model.DropOldest();
    model.DropOldest();
    model.EndTrim();
    EXPECT_TRUE(model.Samples().empty());
    AddAll(model, {-3});
    EXPECT_EQ(model.Min(), -3);
    EXPECT_EQ(model.Max(), -3);
}

// Such samples are held as gaps of the trace; a bound taken from one would blank the chart.
TEST(ChartModel, NotANumberOrInfinityNeverBecomesABoundAlsoAsTheOldestLeft)
{
    CChartModel model(kFrequency, 0);
    AddAll(model, {1, NAN, 5, INFINITY, 3, -INFINITY});
    EXPECT_EQ(model.Samples().size(), 6u);
    EXPECT_EQ(model.Min(), 1);
    EXPECT_EQ(model.Max(), 5);
    model.DropOldest();  // the minimum goes: the bounds are recomputed from a NaN onwards
    EXPECT_EQ(model.Min(), 3);
    EXPECT_EQ(model.Max(), 5);
}

TEST(ChartModel, PrecisionRebuildsTheFormat)
{
    CChartModel model(kFrequency, 0);
    EXPECT_EQ(model.Format(), L"%6.1f");
    model.SetPrecision(0);
    EXPECT_EQ(model.Format(), L"%.f");
    model.SetPrecision(3);
    EXPECT_EQ(model.Format(), L"%.3f");
    model.SetPrecision(10);
    EXPECT_EQ(model.Format(), L"%.10f");
    EXPECT_EQ(model.Precision(), 10);
}

TEST(ChartModel, TitleIsCutToItsBufferAndNullIsEmpty)
{
    CChartModel model(kFrequency, 0);
    model.SetTitle(std::wstring(3000, L'Ж').c_str());
    EXPECT_EQ(model.GetTitle(), std::wstring(1023, L'Ж'));
    model.SetTitle(nullptr);
    EXPECT_EQ(model.GetTitle(), L"");
}

TEST(ChartModel, SnapshotDerivesSpanRangeAndScaleFromThePlot)
{
    CChartModel model(kFrequency, 0);
    AddAll(model, {0, 10, 5});
    CChartSnapshot s;
    model.TakeSnapshot(640, 320, s);
    EXPECT_EQ(model.GetSpan(), 128);
    EXPECT_FLOAT_EQ(s.range, 10);
    EXPECT_FLOAT_EQ(s.scale, 31.9f);
    model.TakeSnapshot(0, 320, s);
    EXPECT_EQ(s.span, 100);
    model.TakeSnapshot(1601, 320, s);
    EXPECT_EQ(s.span, 100);
    model.TakeSnapshot(1600, 320, s);
    EXPECT_EQ(s.span, 320);
}

TEST(ChartModel, SnapshotKeepsTheNewest2400Samples)
{
    CChartModel model(kFrequency, 0);
    model.SetSpan(5000);
    VARIANT v = R4(0);
    for (int i = 0; i < 3000; ++i)
        v.fltVal = static_cast<float>(i), model.Add(&v, 0);
    CChartSnapshot s;
    model.TakeSnapshot(640, 320, s);
    ASSERT_EQ(s.count, 2400u);
    EXPECT_EQ(s.samples[0], 600);
    EXPECT_EQ(s.samples[2399], 2999);
}
