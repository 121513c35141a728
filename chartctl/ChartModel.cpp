#include "ChartModel.h"
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cwchar>

CChartModel::CChartModel(LONGLONG frequency, LONGLONG now)
    : m_frequency(static_cast<double>(frequency)), m_min(FLT_MAX), m_max(-FLT_MAX), m_lastAdd(now)
{
}

CChartModel::CAddResult CChartModel::Add(const VARIANT* value, LONGLONG now)
{
    CScopedLock lock(m_lock);
    if (value && value->vt == VT_I4)
        m_last = static_cast<float>(value->lVal);
    else if (value && value->vt == VT_R4)
        m_last = value->fltVal;
    else if (value && value->vt == VT_R8)
        m_last = static_cast<float>(value->dblVal);

    const float dt = static_cast<float>((now - m_lastAdd) / m_frequency * 1000.0);
    m_interval = (dt + m_interval) / 2;
    m_lastAdd = now;

    m_samples.push_back(m_last);
    Widen(m_last);
    const bool over = m_samples.size() > static_cast<unsigned>(m_span);
    return CAddResult{over && !m_trimming, !m_trimming};
}

LONGLONG CChartModel::BeginTrim()
{
    CScopedLock lock(m_lock);
    m_trimming = true;
    return static_cast<LONGLONG>(m_samples.size()) - m_span / 2;
}

void CChartModel::DropOldest()
{
    CScopedLock lock(m_lock);
    if (!m_samples.empty()) {
        const float dropped = m_samples.front();
        m_samples.pop_front();
        if (dropped == m_max || dropped == m_min)
            RecomputeBounds();
    }
    m_gridPhase = (m_gridPhase > 0 ? m_gridPhase : m_gridSize) - m_step;
}

void CChartModel::EndTrim()
{
    CScopedLock lock(m_lock);
    m_trimming = false;
}

// Starts from the bounds of a fresh chart, so that a list without a finite sample (or an emptied
// one) leaves the next finite sample to set both.
void CChartModel::RecomputeBounds()
{
    m_min = FLT_MAX;
    m_max = -FLT_MAX;
    for (float v : m_samples)
        Widen(v);
}

// A sample that is not a number, or is infinite, is a gap in the trace: it never becomes a bound,
// or the range and every label would follow it.
void CChartModel::Widen(float value)
{
    if (!std::isfinite(value))
        return;
    if (value > m_max)
        m_max = value;
    if (value < m_min)
        m_min = value;
}

void CChartModel::SetSpan(int span)
{
    CScopedLock lock(m_lock);
    m_span = span;
}

int CChartModel::GetSpan() const
{
    CScopedLock lock(m_lock);
    return m_span;
}

void CChartModel::SetPrecision(int precision)
{
    CScopedLock lock(m_lock);
    m_precision = precision;
    if (precision != 0)
        _snwprintf(m_format, kFormatLength - 1, L"%%.%df", precision);
    else
        wcscpy(m_format, L"%.f");
    m_format[kFormatLength - 1] = 0;
}

// A longer title is cut to what the buffer holds.
void CChartModel::SetTitle(const wchar_t* title)
{
    CScopedLock lock(m_lock);
    wcsncpy(m_title, title ? title : L"", kTitleLength - 1);
    m_title[kTitleLength - 1] = 0;
}

std::wstring CChartModel::GetTitle() const
{
    CScopedLock lock(m_lock);
    return m_title;
}

void CChartModel::SetGradientColor(BYTE r, BYTE g, BYTE b)
{
    CScopedLock lock(m_lock);
    m_gradientColor = 0xFF000000 | static_cast<DWORD>(r) << 16 | static_cast<DWORD>(g) << 8 | b;
}

void CChartModel::TakeSnapshot(int plotWidth, int plotHeight, CChartSnapshot& snapshot)
{
    CScopedLock lock(m_lock);
    m_span = plotWidth >= 1 && plotWidth <= 1600 ? plotWidth / m_step : 100;
    m_range = m_max - m_min;
    if (m_range == 0)
        m_range = 1;
    m_scale = (plotHeight - 1) / m_range;

    snapshot.last = m_last;
    snapshot.min = m_min;
    snapshot.max = m_max;
    snapshot.range = m_range;
    snapshot.scale = m_scale;
    snapshot.middle = m_max - m_range / 2;
    snapshot.interval = m_interval;
    snapshot.span = m_span;
    snapshot.step = m_step;
    snapshot.gridPhase = m_gridPhase;
    snapshot.gridSize = m_gridSize;
    snapshot.gradientColor = m_gradientColor;
    wcscpy(snapshot.title, m_title);
    wcscpy(snapshot.format, m_format);
    snapshot.count = std::min(m_samples.size(), CChartSnapshot::kMaxPoints);
    std::copy(m_samples.end() - static_cast<std::ptrdiff_t>(snapshot.count), m_samples.end(), snapshot.samples);
}

std::deque<float> CChartModel::Samples() const { CScopedLock lock(m_lock); return m_samples; }
float CChartModel::Min() const { CScopedLock lock(m_lock); return m_min; }
float CChartModel::Max() const { CScopedLock lock(m_lock); return m_max; }
float CChartModel::Interval() const { CScopedLock lock(m_lock); return m_interval; }
int CChartModel::GridPhase() const { CScopedLock lock(m_lock); return m_gridPhase; }
int CChartModel::Precision() const { CScopedLock lock(m_lock); return m_precision; }
std::wstring CChartModel::Format() const { CScopedLock lock(m_lock); return m_format; }
DWORD CChartModel::GradientColor() const { CScopedLock lock(m_lock); return m_gradientColor; }
