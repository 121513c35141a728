#include "Chart.h"
#include <clocale>
#include <new>

namespace {
// The performance counter's rate, read once per process.
LONGLONG CounterFrequency()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f{};
        return ::QueryPerformanceFrequency(&f) ? f.QuadPart : 0;
    }();
    return frequency;
}

LONGLONG CounterNow()
{
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

HRESULT ToInteger(const VARIANT& value, LONG& result)
{
    CVariant copy;
    HRESULT hr = ::VariantCopy(&copy, const_cast<VARIANT*>(&value));
    if (SUCCEEDED(hr))
        hr = ::VariantChangeType(&copy, &copy, 0, VT_I4);
    if (SUCCEEDED(hr))
        result = copy.lVal;
    return hr;
}
}  // namespace

CChart::CChart(IUnknown* outer, LONGLONG frequency, LONGLONG now)
    : CControlBase(outer, CLSID_Chart, IID_IChart, kMiscStatus),
      m_model(frequency, now),
      m_dispatch(LIBID_norvctrlLib, 1, 0, 0x409, IID_IChart, CLSID_Chart),
      m_trimWorker(m_model, [this] { RequestRepaint(); }),
      m_pollWorker([this](DISPID id) { Poll(id); })
{
    // Numbers print with the Russian decimal comma everywhere in the host process from now on.
    setlocale(LC_ALL, "Russian");
}

CChart::~CChart()
{
    m_trimWorker.Stop();
    m_pollWorker.Stop();
}

HRESULT CChart::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    const LONGLONG frequency = CounterFrequency();
    if (frequency == 0)
        return E_OUTOFMEMORY;
    CChart* chart = new (std::nothrow) CChart(outer, frequency, CounterNow());
    if (!chart)
        return E_OUTOFMEMORY;
    IUnknown* inner = chart->InnerUnknown();
    inner->AddRef();
    HRESULT hr = chart->Initialise();
    if (SUCCEEDED(hr))
        hr = inner->QueryInterface(iid, out);
    inner->Release();
    return hr;
}

HRESULT CChart::Initialise()
{
    // Without its relay window the workers' repaint requests would be lost: no chart then.
    if (!m_gdiplus.IsStarted() || !CanRelayRepaints() || !m_trimWorker.Start())
        return E_OUTOFMEMORY;
    return m_renderer.Initialise(20, 5);
}

void* CChart::FindPrimaryInterface(REFIID iid)
{
    if (iid == IID_IChart || iid == IID_IDispatch)
        return static_cast<IChart*>(this);
    return nullptr;
}

HRESULT CChart::PaintContent(HDC dc, const RECT& bounds)
{
    return m_renderer.Paint(dc, bounds, m_model);
}

HRESULT CChart::GetCoClassInfo(ITypeInfo** info)
{
    return m_dispatch.GetClassInfo(info);
}

HRESULT CChart::GetTypeInfoCount(UINT* count)
{
    return m_dispatch.GetTypeInfoCount(count);
}

HRESULT CChart::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    return m_dispatch.GetTypeInfo(index, info);
}

HRESULT CChart::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return m_dispatch.GetIDsOfNames(names, count, ids);
}

HRESULT CChart::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argError)
{
    return m_dispatch.Invoke(static_cast<IChart*>(this), id, flags, params, result, exception, argError);
}

HRESULT CChart::Draw()
{
    RequestRepaint();
    return S_OK;
}

HRESULT CChart::SetSpan(VARIANT span)
{
    LONG value = 0;
    if (SUCCEEDED(ToInteger(span, value)))
        m_model.SetSpan(value);
    RequestRepaint();
    return S_OK;
}

HRESULT CChart::GetSpan(VARIANT* span)
{
    if (!span)
        return E_POINTER;
    ::VariantInit(span);  // an [out] variant: whatever it held is the caller's, not freed here
    span->vt = VT_I4;
    span->lVal = m_model.GetSpan();
    return S_OK;
}

HRESULT CChart::Add(VARIANT* val)
{
    const CChartModel::CAddResult added = m_model.Add(val, CounterNow());
    if (added.wakeTrimmer)
        m_trimWorker.Wake();
    if (added.repaint)
        RequestRepaint();
    return S_OK;
}

HRESULT CChart::get_Title(BSTR* pVal)
{
    if (!pVal)
        return E_POINTER;
    BSTR copy = ::SysAllocString(m_model.GetTitle().c_str());
    if (!copy)
        return E_OUTOFMEMORY;
    *pVal = copy;
    return S_OK;
}

HRESULT CChart::put_Title(BSTR newVal)
{
    m_model.SetTitle(newVal);
    return S_OK;
}

HRESULT CChart::Precision(VARIANT num)
{
    LONG value = 0;
    HRESULT hr = ToInteger(num, value);
    if (SUCCEEDED(hr))
        m_model.SetPrecision(value);
    return hr;
}

HRESULT CChart::GradientColor(unsigned char* r, unsigned char* g, unsigned char* b)
{
    if (!r || !g || !b)
        return E_POINTER;
    m_model.SetGradientColor(*r, *g, *b);
    return S_OK;
}

HRESULT CChart::SetChannel(IDispatch** channel)
{
    m_channel.Set(channel ? *channel : nullptr);
    return S_OK;
}

// A negative period is taken as 0: the worker's wait would otherwise turn it into a time-out
// of weeks or none at all.
HRESULT CChart::SetTimer(LONG timer)
{
    m_pollWorker.Stop();
    if (timer > 0)
        m_pollWorker.Start(static_cast<DWORD>(timer), m_channel.ValueId());
    return S_OK;
}

void CChart::Poll(DISPID valueId)
{
    CVariant value;
    m_channel.Read(valueId, &value);
    Add(&value);
}
