#include "AxModule.h"
#include "Chart.h"
#include "ClassFactory.h"
#include "TestChannel.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <clocale>

namespace {
class ChartWorkers : public ::testing::Test {
protected:
    void SetUp() override
    {
        AxModule().Init(::GetModuleHandleW(nullptr));
        ASSERT_EQ(CChart::CreateInstance(nullptr, IID_IChart, reinterpret_cast<void**>(&m_chart)), S_OK);
        m_model = &static_cast<CChart*>(m_chart.Get())->Model();
    }

    void Add(float value)
    {
        VARIANT v;
        v.vt = VT_R4;
        v.fltVal = value;
        ASSERT_EQ(m_chart->Add(&v), S_OK);
    }

    // Serves messages until the condition holds or the time is up.
    template <class Condition>
    bool WaitFor(Condition condition, DWORD milliseconds)
    {
        for (DWORD waited = 0; waited < milliseconds; waited += 20) {
            if (condition())
                return true;
            PumpMessages(20);
        }
        return condition();
    }

    CComApartment m_apartment;
    CComPtr<IChart> m_chart;
    CChartModel* m_model = nullptr;
};
}  // namespace

TEST_F(ChartWorkers, TheSampleAfterAFullSpanSlidesTheTrendByAPass)
{
    VARIANT span;
    span.vt = VT_I4;
    span.lVal = 128;
    ASSERT_EQ(m_chart->SetSpan(span), S_OK);
    for (int i = 0; i < 129; ++i)
        Add(static_cast<float>(i));
    ASSERT_TRUE(WaitFor([&] { return m_model->Samples().size() == 64; }, 20000)) << m_model->Samples().size();
    PumpMessages(100);
    EXPECT_EQ(m_model->Samples().size(), 64u);
    EXPECT_EQ(m_model->Samples().front(), 65);
    EXPECT_EQ(m_model->GridPhase(), 5);  // 65 steps back from 10
}

TEST_F(ChartWorkers, PollingWithoutAChannelRepeatsTheLatestValue)
{
    Add(7.5f);
    ASSERT_EQ(m_chart->SetTimer(30), S_OK);
    ASSERT_TRUE(WaitFor([&] { return m_model->Samples().size() >= 4; }, 10000));
    ASSERT_EQ(m_chart->SetTimer(0), S_OK);
    const size_t stopped = m_model->Samples().size();
    for (float sample : m_model->Samples())
        EXPECT_EQ(sample, 7.5f);
    PumpMessages(200);
    EXPECT_EQ(m_model->Samples().size(), stopped);
}

TEST_F(ChartWorkers, PollingReadsTheChannelsValueProperty)
{
    CTestChannel channel;
    IDispatch* given = &channel;
    ASSERT_EQ(m_chart->SetChannel(&given), S_OK);
    EXPECT_EQ(channel.Reads(), 1);  // SetChannel reads once and discards it
    ASSERT_EQ(m_chart->SetTimer(30), S_OK);
    ASSERT_TRUE(WaitFor([&] { return m_model->Samples().size() >= 3; }, 10000));
    ASSERT_EQ(m_chart->SetTimer(0), S_OK);
    const auto samples = m_model->Samples();
    EXPECT_EQ(samples[0], 2.5f);
    EXPECT_EQ(samples[1], 3.5f);
    IDispatch* none = nullptr;
    ASSERT_EQ(m_chart->SetChannel(&none), S_OK);
    EXPECT_EQ(channel.m_references, 1);  // the control let the channel go
}

TEST_F(ChartWorkers, ANegativePeriodPollsNothing)
{
    Add(1);
    ASSERT_EQ(m_chart->SetTimer(-5), S_OK);
    PumpMessages(300);
    EXPECT_EQ(m_model->Samples().size(), 1u);
}

TEST_F(ChartWorkers, ReleasingWhilePollingAndTrimmingStopsBothWorkers)
{
    VARIANT span;
    span.vt = VT_I4;
    span.lVal = 4;
    m_chart->SetSpan(span);
    ASSERT_EQ(m_chart->SetTimer(5), S_OK);
    for (int i = 0; i < 50; ++i)
        Add(static_cast<float>(i));
    m_chart.Release();  // must end both threads and return
    SUCCEED();
}

namespace {
// A container's view advise sink: counts the view changes and notes the threads they came on.
class CViewSink : public IAdviseSink {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IAdviseSink) {
            *out = static_cast<IAdviseSink*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override
    {
        ++changes;
        if (::GetCurrentThreadId() != thread)
            ++foreign;
    }
    STDMETHODIMP_(void) OnRename(IMoniker*) override {}
    STDMETHODIMP_(void) OnSave() override {}
    STDMETHODIMP_(void) OnClose() override {}

    const DWORD thread = ::GetCurrentThreadId();
    int changes = 0;
    int foreign = 0;
};
}  // namespace

TEST_F(ChartWorkers, WorkerRepaintsReachAnInactiveControlsSinkOnItsOwnThread)
{
    CViewSink sink;
    CComPtr<IViewObject> view;
    ASSERT_EQ(m_chart.QueryInterface(IID_IViewObject, &view), S_OK);
    ASSERT_EQ(view->SetAdvise(DVASPECT_CONTENT, 0, &sink), S_OK);
    Add(1);
    EXPECT_EQ(sink.changes, 1);
    CBstr title(L"Новая");
    VARIANT num;
    num.vt = VT_I4;
    num.lVal = 2;
    unsigned char r = 1, g = 2, b = 3;
    m_chart->put_Title(title);  // title, precision and colour show from the next paint, unasked
    m_chart->Precision(num);
    m_chart->GradientColor(&r, &g, &b);
    EXPECT_EQ(sink.changes, 1);
    m_chart->Draw();
    EXPECT_EQ(sink.changes, 2);
    ASSERT_EQ(m_chart->SetTimer(20), S_OK);
    ASSERT_TRUE(WaitFor([&] { return sink.changes >= 4; }, 10000));
    ASSERT_EQ(m_chart->SetTimer(0), S_OK);
    EXPECT_EQ(sink.foreign, 0);
    view->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
}

TEST_F(ChartWorkers, CreatingAChartSwitchesTheProcessToTheRussianLocale)
{
    m_chart.Release();
    setlocale(LC_ALL, "C");
    ASSERT_EQ(CChart::CreateInstance(nullptr, IID_IChart, reinterpret_cast<void**>(&m_chart)), S_OK);
    wchar_t text[16];
    _snwprintf(text, 15, L"%.1f", 2.5);
    EXPECT_STREQ(text, L"2,5");
}

TEST_F(ChartWorkers, AnAggregatedChartDelegatesToItsOuterObject)
{
    struct COuter : IUnknown {
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override
        {
            ++queries;
            if (iid == IID_IUnknown) {
                *out = this;
                return S_OK;
            }
            return inner->QueryInterface(iid, out);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return 2; }
        STDMETHODIMP_(ULONG) Release() override { return 1; }
        IUnknown* inner = nullptr;
        int queries = 0;
    } outer;
    CClassFactory<CChart> factory;
    EXPECT_EQ(factory.CreateInstance(&outer, IID_IChart, reinterpret_cast<void**>(&outer.inner)), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(factory.CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    IChart* chart = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IChart, reinterpret_cast<void**>(&chart)), S_OK);
    IUnknown* back = nullptr;
    ASSERT_EQ(chart->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, static_cast<IUnknown*>(&outer));
    EXPECT_EQ(outer.queries, 1);
    chart->Release();
    outer.inner->Release();
}

namespace {
// Refuses every window this thread tries to make, as a process out of window handles would.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST_F(ChartWorkers, AChartThatCannotMakeItsRepaintRelayIsNotCreated)
{
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    CComPtr<IChart> chart;
    const HRESULT hr = CChart::CreateInstance(nullptr, IID_IChart, reinterpret_cast<void**>(&chart));
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(hr, E_OUTOFMEMORY);  // rather than a chart whose workers' repaints go nowhere
    EXPECT_EQ(chart.Get(), nullptr);
}
