#include "AxModule.h"
#include "Chart.h"
#include "TestChannel.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {
// P = (50, 60, 640, 320) for bounds 700 x 400.
const int kPx = 50, kPy = 60, kPw = 640, kPh = 320;

class ChartRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        AxModule().Init(::GetModuleHandleW(nullptr));
        ASSERT_EQ(CChart::CreateInstance(nullptr, IID_IChart, reinterpret_cast<void**>(&m_chart)), S_OK);
        ASSERT_EQ(m_chart.QueryInterface(IID_IViewObject, &m_view), S_OK);
        m_model = &static_cast<CChart*>(m_chart.Get())->Model();
    }

    void Add(std::initializer_list<float> values)
    {
        for (float value : values) {
            VARIANT v;
            v.vt = VT_R4;
            v.fltVal = value;
            ASSERT_EQ(m_chart->Add(&v), S_OK);
        }
    }

    void Paint(CPixelCanvas& canvas) { Paint(canvas, canvas.Bounds()); }

    void Paint(CPixelCanvas& canvas, const RECTL& bounds)
    {
        ASSERT_EQ(m_view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.DC(), &bounds, nullptr, nullptr, 0),
                  S_OK);
    }

    LONG Span()
    {
        CVariant span;
        EXPECT_EQ(m_chart->GetSpan(&span), S_OK);
        EXPECT_EQ(span.vt, VT_I4);
        return span.lVal;
    }

    CComApartment m_apartment;
    CComPtr<IChart> m_chart;
    CComPtr<IViewObject> m_view;
    CChartModel* m_model = nullptr;
};

bool Dark(COLORREF c) { return GetRValue(c) < 25 && GetGValue(c) < 25 && GetBValue(c) < 25; }
}  // namespace

TEST_F(ChartRender, LaysOutAndDrawsAThreeSampleChartAt700x400)
{
    EXPECT_EQ(Span(), 100);
    VARIANT num;
    num.vt = VT_I4;
    num.lVal = 1;
    ASSERT_EQ(m_chart->Precision(num), S_OK);
    CBstr title(L"Влажность, %");
    ASSERT_EQ(m_chart->put_Title(title), S_OK);
    Add({0, 10, 5});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_TRUE(canvas.SavePng(L"chart_700x400.png"));
    EXPECT_EQ(Span(), 128);

    EXPECT_EQ(canvas.Pixel(10, 10), RGB(255, 255, 255));         // the white field
    EXPECT_EQ(canvas.Pixel(695, 395), RGB(255, 255, 255));
    EXPECT_TRUE(Dark(canvas.Pixel(kPx + 7, kPy + 3)));           // gradient top, off the grid lines
    const COLORREF bottom = canvas.Pixel(kPx + 7, kPy + kPh - 3);  // gradient bottom: 0xFF00B400
    EXPECT_LT(GetRValue(bottom), 20);
    EXPECT_NEAR(GetGValue(bottom), 178, 12);
    EXPECT_LT(GetBValue(bottom), 20);
    // A vertical grid line (phase 10: texture 2, lines at x = 9 modulo 20) is lighter than its surroundings.
    EXPECT_GT(GetRValue(canvas.Pixel(69, kPy + 3)), GetRValue(canvas.Pixel(66, kPy + 3)) + 20);

    // The polyline: (55, 380), (60, 61), (65, 220).
    EXPECT_TRUE(canvas.AnyIn(59, 60, 3, 4, IsLineGreen));
    EXPECT_TRUE(canvas.AnyIn(61, 135, 4, 10, IsLineGreen));
    EXPECT_TRUE(canvas.AnyIn(64, 218, 3, 4, IsLineGreen));
    EXPECT_FALSE(canvas.AnyIn(70, 100, 300, 40, IsLineGreen));

    EXPECT_TRUE(canvas.AnyIn(kPx, 10, kPw, 60, IsRed));                   // title
    EXPECT_TRUE(canvas.AnyIn(kPx + 200, kPy + 100, 240, 120, IsRed));     // value readout
    EXPECT_TRUE(canvas.AnyIn(5, kPy + kPh - 2, 45, 10, IsBlue));          // minimum label
    EXPECT_TRUE(canvas.AnyIn(5, kPy - 2, 45, 10, IsBlue));                // maximum label
    EXPECT_TRUE(canvas.AnyIn(5, kPy + 159 - 5, 45, 10, IsBlue));          // middle label
    EXPECT_TRUE(canvas.AnyIn(kPx + kPw - 60, kPy + kPh + 5, 60, 10, IsBlue));  // time span
}

TEST_F(ChartRender, TwoSamplesDrawNoPolylineAndNoLabels)
{
    Add({1, 2});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_FALSE(canvas.AnyIn(kPx + 1, kPy + 1, 30, kPh - 2, IsLineGreen));
    EXPECT_FALSE(canvas.AnyIn(0, 0, kPx, 400, IsBlue));
    EXPECT_TRUE(canvas.AnyIn(kPx + 200, kPy + 100, 240, 120, IsRed));  // the readout still shows
}

TEST_F(ChartRender, EqualSamplesLieOnTheBottomEdgeWithOnlyTheMinimumLabel)
{
    Add({3, 3, 3, 3});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_TRUE(canvas.AnyIn(kPx + 5, kPy + kPh - 2, 15, 3, IsLineGreen));
    EXPECT_FALSE(canvas.AnyIn(kPx + 5, kPy + 5, 15, kPh - 10, IsLineGreen));
    EXPECT_TRUE(canvas.AnyIn(5, kPy + kPh - 2, 45, 10, IsBlue));
    EXPECT_FALSE(canvas.AnyIn(5, kPy - 2, 45, 10, IsBlue));
}

// Points at x = 55 + 5 i: (55, 380)-(60, 61), a gap, (70, 61)-(75, 380), a gap, a dot at (85, 220).
TEST_F(ChartRender, ASampleThatIsNotANumberBreaksTheTraceAndKeepsTheLabels)
{
    Add({0, 10, NAN, 10, 0, INFINITY, 5, NAN});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_TRUE(canvas.AnyIn(59, 60, 3, 4, IsLineGreen));
    EXPECT_TRUE(canvas.AnyIn(69, 60, 3, 4, IsLineGreen));
    EXPECT_FALSE(canvas.AnyIn(62, 56, 6, 10, IsLineGreen));   // nothing joins the ends across the gap
    EXPECT_TRUE(canvas.AnyIn(84, 219, 3, 3, IsLineGreen));    // the lone sample
    EXPECT_FALSE(canvas.AnyIn(78, 280, 4, 40, IsLineGreen));
    EXPECT_FALSE(canvas.AnyIn(88, kPy + 1, 30, kPh - 2, IsLineGreen));
    EXPECT_TRUE(canvas.AnyIn(5, kPy + kPh - 2, 45, 10, IsBlue));  // minimum label
    EXPECT_TRUE(canvas.AnyIn(5, kPy - 2, 45, 10, IsBlue));        // maximum label
}

TEST_F(ChartRender, GradientColorSetsTheLowerEdge)
{
    unsigned char r = 0, g = 0, b = 255;
    ASSERT_EQ(m_chart->GradientColor(&r, &g, &b), S_OK);
    EXPECT_EQ(m_model->GradientColor(), 0xFF0000FFu);
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    const COLORREF bottom = canvas.Pixel(kPx + 7, kPy + kPh - 3);
    EXPECT_GT(GetBValue(bottom), 230);
    EXPECT_LT(GetGValue(bottom), 20);
}

TEST_F(ChartRender, OddBoundsGiveTheDefaultSpanAndStillPaint)
{
    Add({1, 2, 3});
    CPixelCanvas narrow(60, 400);
    Paint(narrow);
    EXPECT_EQ(Span(), 100);
    CPixelCanvas wide(1661, 200);
    Paint(wide);
    EXPECT_EQ(Span(), 100);
    CPixelCanvas tiny(10, 10);
    Paint(tiny);
    EXPECT_EQ(tiny.Pixel(5, 5), RGB(255, 255, 255));
}

TEST_F(ChartRender, AHugePrecisionPaintsWithoutOverrunningTheTextBuffers)
{
    VARIANT num;
    num.vt = VT_I4;
    num.lVal = 100000;
    ASSERT_EQ(m_chart->Precision(num), S_OK);
    Add({1, 2, 3});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(255, 255, 255));
}

TEST_F(ChartRender, FontsComeFromTahomaWhenInstalled)
{
    EXPECT_EQ(static_cast<CChart*>(m_chart.Get())->Renderer().FontFamilyName(), L"Tahoma");
}

TEST_F(ChartRender, ANewTitleKeepsTheSamples)
{
    Add({1, 2, 3});
    CBstr title(L"Другая");
    ASSERT_EQ(m_chart->put_Title(title), S_OK);
    EXPECT_EQ(m_model->Samples().size(), 3u);
    CBstr back;
    ASSERT_EQ(m_chart->get_Title(&back), S_OK);
    EXPECT_STREQ(back.c_str(), L"Другая");
}

TEST_F(ChartRender, AFullerTrendEndsAtTheNewestSamplesPoint)
{
    CBstr title(L"Расход, л/мин");
    ASSERT_EQ(m_chart->put_Title(title), S_OK);
    for (int i = 0; i < 100; ++i)
        Add({static_cast<float>(20 + 10 * std::sin(i / 8.0) + i / 10.0)});
    CPixelCanvas canvas(700, 400);
    Paint(canvas);
    EXPECT_TRUE(canvas.SavePng(L"chart_trend_700x400.png"));
    const auto samples = m_model->Samples();
    const int x = kPx + 100 * 5;
    const float scale = (kPh - 1) / (m_model->Max() - m_model->Min());
    const int y = static_cast<int>(kPy + kPh - (samples.back() - m_model->Min()) * scale);
    EXPECT_TRUE(canvas.AnyIn(x - 2, y - 2, 4, 4, IsLineGreen)) << x << "," << y;
    EXPECT_FALSE(canvas.AnyIn(x + 4, kPy + 1, 30, kPh - 2, IsLineGreen));
}

TEST_F(ChartRender, GetSpanFillsTheCallersVariantWithoutFreeingWhatItHeld)
{
    CTestChannel held;
    VARIANT span;  // [out]: what it holds beforehand is the caller's business, not to be released
    span.vt = VT_DISPATCH;
    span.pdispVal = &held;
    ASSERT_EQ(m_chart->GetSpan(&span), S_OK);
    EXPECT_EQ(span.vt, VT_I4);
    EXPECT_EQ(span.lVal, 100);
    EXPECT_EQ(held.m_references, 1);
}

// A paint copies the background kept for its size, colour and grid phase and draws the rest over
// it; the picture must be exactly that of a paint drawn whole, whatever changed in between.
TEST_F(ChartRender, PaintsOverTheKeptBackgroundExactlyWhatAWholePaintDraws)
{
    CChartRenderer whole;
    ASSERT_EQ(whole.Initialise(20, 5), S_OK);
    auto expectSame = [&](int width, int height, const RECTL& bounds, const char* after) {
        CPixelCanvas kept(width, height), drawnWhole(width, height);
        Paint(kept, bounds);
        whole.PaintWhole(drawnWhole.DC(), RECT{bounds.left, bounds.top, bounds.right, bounds.bottom}, *m_model);
        EXPECT_TRUE(kept.SameAs(drawnWhole)) << "after " << after;
    };
    CBstr title(L"Расход, л/мин");
    ASSERT_EQ(m_chart->put_Title(title), S_OK);
    for (int i = 0; i < 60; ++i)
        Add({static_cast<float>(20 + 10 * std::sin(i / 8.0))});
    expectSame(700, 400, {0, 0, 700, 400}, "the first paint");
    Add({45});
    expectSame(700, 400, {0, 0, 700, 400}, "a new maximum");
    m_model->DropOldest();
    expectSame(700, 400, {0, 0, 700, 400}, "a grid scroll step");
    expectSame(900, 300, {0, 0, 900, 300}, "a resize");
    expectSame(950, 350, {30, 20, 930, 320}, "moved bounds");
    unsigned char r = 0, g = 0, b = 255;
    ASSERT_EQ(m_chart->GradientColor(&r, &g, &b), S_OK);
    expectSame(950, 350, {30, 20, 930, 320}, "a new gradient colour");
    VARIANT num;
    num.vt = VT_I4;
    num.lVal = 45;  // three lines of readout, taller than the plot area: over the frame
    ASSERT_EQ(m_chart->Precision(num), S_OK);
    expectSame(950, 350, {30, 20, 930, 320}, "a readout over the frame");
}
