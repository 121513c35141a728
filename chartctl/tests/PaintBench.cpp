// Paint time of a full chart at 1660 x 400: the median of 100 paints into a memory DC.
#include "AxModule.h"
#include "Chart.h"
#include "TestSupport.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

int main()
{
    CComApartment apartment;
    AxModule().Init(::GetModuleHandleW(nullptr));
    CComPtr<IChart> chart;
    if (CChart::CreateInstance(nullptr, IID_IChart, reinterpret_cast<void**>(&chart)) != S_OK)
        return 1;
    CComPtr<IViewObject> view;
    chart.QueryInterface(IID_IViewObject, &view);
    CPixelCanvas canvas(1660, 400);
    const RECTL bounds = canvas.Bounds();
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.DC(), &bounds, nullptr, nullptr, 0);
    VARIANT span;
    span.vt = VT_I4;
    span.lVal = 320;
    chart->SetSpan(span);  // a 1600-pixel plot holds 320 samples; keep them all
    for (int i = 0; i < 320; ++i) {
        VARIANT v;
        v.vt = VT_R4;
        v.fltVal = static_cast<float>(50 + 40 * std::sin(i / 10.0));
        chart->Add(&v);
    }
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        ::QueryPerformanceCounter(&start);
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.DC(), &bounds, nullptr, nullptr, 0);
        ::GdiFlush();
        ::QueryPerformanceCounter(&end);
        times.push_back((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    }
    std::sort(times.begin(), times.end());
    std::printf("chart paint 1660x400, 320 samples: median %.2f ms, min %.2f ms, max %.2f ms (100 paints)\n",
                times[50], times.front(), times.back());
    return 0;
}
