#pragma once
#include "ChannelLink.h"
#include "ChartModel.h"
#include "ChartRenderer.h"
#include "ControlBase.h"
#include "GdiplusSession.h"
#include "PollWorker.h"
#include "TrimWorker.h"
#include "TypeInfoDispatch.h"
#include "norvctrl.h"

// The ChartView control: the IChart members over the chart state, its two workers and its
// rendering, inside the ActiveX plumbing of CControlBase.
class CChart : public CControlBase, public IChart {
public:
    static const DWORD kMiscStatus = 131473;  // RECOMPOSEONRESIZE CANTLINKINSIDE INSIDEOUT ACTIVATEWHENVISIBLE SETCLIENTSITEFIRST

    // The class factory's entry: constructs, initialises the drawing resources, hands out iid.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return CControlBase::QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return CControlBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return CControlBase::Release(); }

    // IDispatch, from the registered type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* argError) override;

    // IChart. Its Draw only asks for a repaint (RequestRepaint); the painting itself is the
    // view object's Draw, which reaches PaintContent.
    STDMETHODIMP Draw() override;
    STDMETHODIMP SetSpan(VARIANT span) override;
    STDMETHODIMP GetSpan(VARIANT* span) override;
    STDMETHODIMP Add(VARIANT* val) override;
    STDMETHODIMP get_Title(BSTR* pVal) override;
    STDMETHODIMP put_Title(BSTR newVal) override;
    STDMETHODIMP Precision(VARIANT num) override;
    STDMETHODIMP GradientColor(unsigned char* r, unsigned char* g, unsigned char* b) override;
    STDMETHODIMP SetChannel(IDispatch** channel) override;
    STDMETHODIMP SetTimer(LONG timer) override;

    CChartModel& Model() { return m_model; }
    const CChartRenderer& Renderer() const { return m_renderer; }

protected:
    void* FindPrimaryInterface(REFIID iid) override;
    HRESULT PaintContent(HDC dc, const RECT& bounds) override;
    HRESULT GetCoClassInfo(ITypeInfo** info) override;

private:
    CChart(IUnknown* outer, LONGLONG frequency, LONGLONG now);
    ~CChart() override;
    HRESULT Initialise();
    void Poll(DISPID valueId);

    CGdiplusSession m_gdiplus;
    CChartModel m_model;
    CChartRenderer m_renderer;
    CTypeInfoDispatch m_dispatch;
    CChannelLink m_channel;
    CTrimWorker m_trimWorker;
    CPollWorker m_pollWorker;
};
