// The control as its host and script clients use it: made through the registry by ProgID and
// driven by name through IDispatch.
#include "ComPtr.h"
#include "TestChannel.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <ocidl.h>
#include <objsafe.h>
#include <string>
#include <vector>

namespace {
const LCID kUserDefault = 0x400;

class ChartDispatch : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(RunRegsvr32(false), 0); }

    void SetUp() override
    {
        CLSID clsid;
        ASSERT_EQ(::CLSIDFromProgID(L"norvctrl2.ChartView.1", &clsid), S_OK);
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&m_chart)), S_OK);
    }

    DISPID Id(const wchar_t* name)
    {
        LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(m_chart->GetIDsOfNames(IID_NULL, names, 1, kUserDefault, &id), S_OK) << name;
        return id;
    }

    // A method call as the host makes it: arguments given in order, a result variant pre-set
    // to VT_R8 50.0. Returns the HRESULT, or the member's own failure when Invoke reports one.
    HRESULT Call(const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr)
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        CVariant spare;
        spare.vt = VT_R8;
        spare.dblVal = 50.0;
        EXCEPINFO exception{};
        UINT argError = 0;
        HRESULT hr = m_chart->Invoke(Id(name), IID_NULL, kUserDefault, DISPATCH_METHOD, &params,
                                     result ? result : &spare, &exception, &argError);
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::SysFreeString(exception.bstrHelpFile);
        return hr == DISP_E_EXCEPTION && FAILED(exception.scode) ? exception.scode : hr;
    }

    HRESULT PutTitle(BSTR text)
    {
        VARIANT value;
        value.vt = VT_BSTR;
        value.bstrVal = text;
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, &named, 1, 1};
        return m_chart->Invoke(Id(L"Title"), IID_NULL, kUserDefault, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                               nullptr);
    }

    std::wstring GetTitle()
    {
        CVariant result;
        DISPPARAMS none{};
        EXPECT_EQ(m_chart->Invoke(Id(L"Title"), IID_NULL, kUserDefault, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                                  nullptr), S_OK);
        EXPECT_EQ(result.vt, VT_BSTR);
        return result.vt == VT_BSTR && result.bstrVal ? result.bstrVal : L"";
    }

    LONG GetSpan()
    {
        CVariant span;
        EXPECT_EQ(Call(L"GetSpan", {}, &span), S_OK);
        EXPECT_EQ(span.vt, VT_I4);
        return span.lVal;
    }

    CComApartment m_apartment;
    CComPtr<IDispatch> m_chart;
};

VARIANT Make(VARTYPE type) { VARIANT v; ::VariantInit(&v); v.vt = type; return v; }
VARIANT R4(float value) { VARIANT v = Make(VT_R4); v.fltVal = value; return v; }
VARIANT UI2(USHORT value) { VARIANT v = Make(VT_UI2); v.uiVal = value; return v; }
VARIANT I4(LONG value) { VARIANT v = Make(VT_I4); v.lVal = value; return v; }
VARIANT Text(BSTR text) { VARIANT v = Make(VT_BSTR); v.bstrVal = text; return v; }
}  // namespace

TEST_F(ChartDispatch, NamesResolveToTheirDispatchIdentifiers)
{
    const std::pair<const wchar_t*, DISPID> members[] = {{L"Draw", 1}, {L"SetSpan", 2}, {L"GetSpan", 3},
                                                         {L"Add", 4}, {L"Title", 5}, {L"Precision", 6},
                                                         {L"GradientColor", 7}, {L"SetChannel", 8}, {L"SetTimer", 9}};
    for (const auto& [name, id] : members)
        EXPECT_EQ(Id(name), id) << name;
}

TEST_F(ChartDispatch, TheHostsThreeCallsSucceed)
{
    CBstr title(L"Температура, °C");
    ASSERT_EQ(PutTitle(title), S_OK);
    EXPECT_EQ(GetTitle(), L"Температура, °C");
    EXPECT_EQ(Call(L"Precision", {UI2(2)}), S_OK);
    EXPECT_EQ(Call(L"Add", {R4(12.5f)}), S_OK);
    EXPECT_EQ(Call(L"Add", {I4(100000)}), S_OK);
    EXPECT_EQ(Call(L"Draw", {}), S_OK);
}

TEST_F(ChartDispatch, TitlePutWithANullStringReadsBackEmpty)
{
    CBstr title(L"x");
    ASSERT_EQ(PutTitle(title), S_OK);
    ASSERT_EQ(PutTitle(nullptr), S_OK);
    EXPECT_EQ(GetTitle(), L"");
}

TEST_F(ChartDispatch, PrecisionTakesNumericTextAndReportsTheConversionError)
{
    CBstr three(L"3"), word(L"три");
    EXPECT_EQ(Call(L"Precision", {Text(three)}), S_OK);
    EXPECT_EQ(Call(L"Precision", {Text(word)}), DISP_E_TYPEMISMATCH);
}

TEST_F(ChartDispatch, SpanIs100UntilTheFirstPaintAndSetSpanStoresIt)
{
    EXPECT_EQ(GetSpan(), 100);
    EXPECT_EQ(Call(L"SetSpan", {R4(42.4f)}), S_OK);
    EXPECT_EQ(GetSpan(), 42);
    CBstr word(L"много");
    EXPECT_EQ(Call(L"SetSpan", {Text(word)}), S_OK);
    EXPECT_EQ(GetSpan(), 42);  // a text that is no number leaves the span
}

TEST_F(ChartDispatch, GradientColorTakesThreeBytesByReference)
{
    BYTE r = 0, g = 0, b = 255;
    VARIANT args[3] = {Make(VT_UI1 | VT_BYREF), Make(VT_UI1 | VT_BYREF), Make(VT_UI1 | VT_BYREF)};
    args[0].pbVal = &r;
    args[1].pbVal = &g;
    args[2].pbVal = &b;
    ASSERT_EQ(Call(L"GradientColor", {args[0], args[1], args[2]}), S_OK);

    CComPtr<IViewObject> view;
    ASSERT_EQ(m_chart.QueryInterface(IID_IViewObject, &view), S_OK);
    CPixelCanvas canvas(700, 400);
    const RECTL bounds = canvas.Bounds();
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.DC(), &bounds, nullptr, nullptr, 0), S_OK);
    EXPECT_GT(GetBValue(canvas.Pixel(57, 377)), 230);
    EXPECT_EQ(GetSpan(), 128);
}

TEST_F(ChartDispatch, SetTimerPollsTheChannelUntilStopped)
{
    CTestChannel channel;
    IDispatch* given = &channel;
    VARIANT arg = Make(VT_DISPATCH | VT_BYREF);
    arg.ppdispVal = &given;
    ASSERT_EQ(Call(L"SetChannel", {arg}), S_OK);
    ASSERT_EQ(Call(L"SetTimer", {I4(30)}), S_OK);
    for (int i = 0; i < 250 && channel.Reads() < 5; ++i)
        PumpMessages(20);
    ASSERT_EQ(Call(L"SetTimer", {I4(0)}), S_OK);
    EXPECT_GE(channel.Reads(), 5);
    const LONG stopped = channel.Reads();
    PumpMessages(200);
    EXPECT_EQ(channel.Reads(), stopped);
    given = nullptr;  // the channel lives on this stack: let the control drop it first
    ASSERT_EQ(Call(L"SetChannel", {arg}), S_OK);
    EXPECT_EQ(channel.m_references, 1);
}

TEST_F(ChartDispatch, TheControlAnswersTheContainerInterfaces)
{
    const IID* interfaces[] = {&IID_IViewObjectEx, &IID_IViewObject2, &IID_IOleInPlaceObject,
                               &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IOleObject,
                               &IID_IPersistStreamInit, &IID_ISupportErrorInfo, &IID_ISpecifyPropertyPages,
                               &IID_IQuickActivate, &IID_IPersistStorage, &IID_IDataObject, &IID_IProvideClassInfo2,
                               &IID_IObjectSafety};
    for (const IID* iid : interfaces) {
        CComPtr<IUnknown> probe;
        EXPECT_EQ(m_chart.QueryInterface(*iid, &probe), S_OK);
    }
    CComPtr<IUnknown> windowless;  // it always activates with a window of its own
    EXPECT_EQ(m_chart.QueryInterface(IID_IOleInPlaceObjectWindowless, &windowless), E_NOINTERFACE);
    CComPtr<IObjectSafety> safety;
    ASSERT_EQ(m_chart.QueryInterface(IID_IObjectSafety, &safety), S_OK);
    DWORD supported = 0, enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 3u);
    CComPtr<IViewObjectEx> view;
    ASSERT_EQ(m_chart.QueryInterface(IID_IViewObjectEx, &view), S_OK);
    DWORD status = 1;
    ASSERT_EQ(view->GetViewStatus(&status), S_OK);
    EXPECT_EQ(status, 0u);
    CComPtr<IOleObject> object;
    ASSERT_EQ(m_chart.QueryInterface(IID_IOleObject, &object), S_OK);
    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, 0x20191u);
    CComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(m_chart.QueryInterface(IID_ISupportErrorInfo, &errors), S_OK);
    IID chart;
    ASSERT_EQ(::IIDFromString(L"{5E3B91C4-0A7D-4C28-B6E1-83F92D4A07C5}", &chart), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(chart), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST_F(ChartDispatch, TheExtentPersistsThroughAStream)
{
    CComPtr<IOleObject> object;
    ASSERT_EQ(m_chart.QueryInterface(IID_IOleObject, &object), S_OK);
    SIZEL extent{18520, 10583};
    ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
    CComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(m_chart.QueryInterface(IID_IPersistStreamInit, &persist), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    CComPtr<IStream> stream;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    CComPtr<IPersistStreamInit> other;
    CLSID clsid;
    ASSERT_EQ(persist->GetClassID(&clsid), S_OK);
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit,
                                 reinterpret_cast<void**>(&other)), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(other->Load(stream), S_OK);
    CComPtr<IOleObject> otherObject;
    ASSERT_EQ(other.QueryInterface(IID_IOleObject, &otherObject), S_OK);
    SIZEL loaded{};
    ASSERT_EQ(otherObject->GetExtent(DVASPECT_CONTENT, &loaded), S_OK);
    EXPECT_EQ(loaded.cx, 18520);
    EXPECT_EQ(loaded.cy, 10583);
}
