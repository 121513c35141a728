// The control inside the platform's ATL host window ("AtlAxWin" of atl.dll), as orvex embeds it,
// and inside a hand-made site.
#include "ComPtr.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <ocidl.h>

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
        static const BOOL hostClassRegistered = init();  // a second call fails: the class exists
        ASSERT_TRUE(hostClassRegistered);
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

namespace {
// A container's site for in-place activation in `window` (none at first); `active` counts the
// activations it was told of minus the deactivations.
class CTestSite : public IOleClientSite, public IOleInPlaceSite {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow)
            *out = static_cast<IOleInPlaceSite*>(this);
        else
            *out = nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    STDMETHODIMP GetWindow(HWND* out) override { *out = window; return window ? S_OK : E_FAIL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { ++active; return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *document = nullptr;
        *position = *clip = RECT{0, 0, 300, 200};
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { --active; return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }

    HWND window = nullptr;
    int active = 0;
};
}  // namespace

// Wine's host offers windowless activation too; the control makes its window all the same.
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

    // Shrinking uncovers nothing of the control, yet the whole chart is laid out anew at once:
    // the span follows the new width and the old plot area's corner is the white field now.
    PumpMessages(100);  // the paint the calls asked for, at the old size
    ::MoveWindow(host, 10, 10, 500, 300, TRUE);
    PumpMessages(100);
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 300);
    CPixelCanvas shown(500, 300);
    HDC windowDC = ::GetDC(window);
    ::BitBlt(shown.DC(), 0, 0, 500, 300, windowDC, 0, 0, SRCCOPY);
    ::ReleaseDC(window, windowDC);
    EXPECT_EQ(shown.Pixel(495, 295), RGB(255, 255, 255));
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

TEST_F(ChartHosting, AFailedActivationLeavesTheControlInactiveForALaterOne)
{
    CLSID clsid;
    ASSERT_EQ(::CLSIDFromProgID(L"norvctrl2.ChartView.1", &clsid), S_OK);
    CComPtr<IOleObject> chart;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                 reinterpret_cast<void**>(&chart)), S_OK);
    CTestSite site;
    ASSERT_EQ(chart->SetClientSite(&site), S_OK);
    EXPECT_TRUE(FAILED(chart->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, nullptr)));  // nowhere to go
    EXPECT_EQ(site.active, 0);

    site.window = m_frame;
    ASSERT_EQ(chart->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(site.active, 1);
    CComPtr<IOleWindow> inPlace;
    ASSERT_EQ(chart.QueryInterface(IID_IOleWindow, &inPlace), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(::GetParent(window), m_frame);

    EXPECT_EQ(chart->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site.active, 0);
    EXPECT_FALSE(::IsWindow(window));
    chart->SetClientSite(nullptr);
}
