// The control inside the platform's ATL host window ("AtlAxWin" of atl.dll), as orvex embeds it.
#include "ComPtr.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {
typedef BOOL(WINAPI* AtlAxWinInitFn)();
typedef HRESULT(WINAPI* AtlAxGetControlFn)(HWND, IUnknown**);

class ChartHosting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RunRegsvr32(false), 0); }

    void SetUp() override
    {
        m_atl = ::LoadLibraryW(L"atl.dll");
        ASSERT_NE(m_atl, nullptr);
        auto init = reinterpret_cast<AtlAxWinInitFn>(::GetProcAddress(m_atl, MAKEINTRESOURCEA(42)));
        m_getControl = reinterpret_cast<AtlAxGetControlFn>(::GetProcAddress(m_atl, MAKEINTRESOURCEA(47)));
        ASSERT_TRUE(init && m_getControl);
        ASSERT_TRUE(init());
        m_frame = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 500, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_NE(m_frame, nullptr);
    }

    void TearDown() override
    {
        if (m_frame)
            ::DestroyWindow(m_frame);
        PumpMessages(50);
    }

    static HWND ControlWindow(HWND host) { return ::FindWindowExW(host, nullptr, L"NorvctrlControl", nullptr); }

    CComApartment m_apartment;
    HMODULE m_atl = nullptr;
    AtlAxGetControlFn m_getControl = nullptr;
    HWND m_frame = nullptr;
};
}  // namespace

TEST_F(ChartHosting, TheHostMakesAWindowedControlThatFollowsItsSizeAndDiesWithIt)
{
    HWND host = ::CreateWindowExW(0, L"AtlAxWin", L"norvctrl2.ChartView.1", WS_CHILD | WS_VISIBLE, 10, 10, 700, 400,
                                  m_frame, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    PumpMessages(100);
    CComPtr<IUnknown> control;
    ASSERT_EQ(m_getControl(host, &control), S_OK);
    CComPtr<IDispatch> chart;
    ASSERT_EQ(control.QueryInterface(IID_IDispatch, &chart), S_OK);

    LPOLESTR name = const_cast<LPOLESTR>(L"Add");
    DISPID add = 0;
    ASSERT_EQ(chart->GetIDsOfNames(IID_NULL, &name, 1, 0x400, &add), S_OK);
    VARIANT value;
    value.vt = VT_R4;
    value.fltVal = 3.25f;
    DISPPARAMS params{&value, nullptr, 1, 0};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(chart->Invoke(add, IID_NULL, 0x400, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);

    HWND window = ControlWindow(host);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)) & 0xFFFF0000u, 0x56000000u);
    EXPECT_EQ(::GetWindowLongW(window, GWL_EXSTYLE), 0);
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 700);
    EXPECT_EQ(client.bottom, 400);

    ::MoveWindow(host, 10, 10, 500, 300, TRUE);
    PumpMessages(100);
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 300);

    // A paint of the window goes through the chart's drawing: the span follows its width.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(100);
    LPOLESTR spanName = const_cast<LPOLESTR>(L"GetSpan");
    DISPID getSpan = 0;
    ASSERT_EQ(chart->GetIDsOfNames(IID_NULL, &spanName, 1, 0x400, &getSpan), S_OK);
    CVariant span;
    DISPPARAMS none{};
    ASSERT_EQ(chart->Invoke(getSpan, IID_NULL, 0x400, DISPATCH_METHOD, &none, &span, nullptr, nullptr), S_OK);
    EXPECT_EQ(span.lVal, (500 - 60) / 5);

    chart.Release();
    control.Release();
    ::DestroyWindow(host);
    PumpMessages(100);
    EXPECT_FALSE(::IsWindow(window));
}
