#pragma once
#include "CriticalSection.h"
#include <oaidl.h>
#include <deque>
#include <string>

// What one paint needs of the chart state, taken under the lock in one go so that a paint sees
// one consistent list and its bounds while the workers go on.
struct CChartSnapshot {
    static const size_t kMaxPoints = 2400;

    float last, min, max, range, scale, interval;
    float middle;  // the value half the range below the maximum, labelled at mid-height
    int span, step, gridPhase, gridSize;
    DWORD gradientColor;
    wchar_t title[1024];
    wchar_t format[512];
    float samples[kMaxPoints];  // oldest first; the newest ones when more are held
    size_t count;
};

// The chart's sample history and statistics, shared by the caller's thread, the trim worker and
// the poll worker; every operation takes the one lock for its whole length.
class CChartModel {
public:
    static const int kTitleLength = 1024;
    static const int kFormatLength = 512;

    // frequency and now: the performance counter's rate and its value at construction.
    CChartModel(LONGLONG frequency, LONGLONG now);

    struct CAddResult {
        bool wakeTrimmer;  // more samples than the span and no trim pass running
        bool repaint;      // no trim pass running (a running one requests its own repaints)
    };
    // Appends the value (VT_I4, VT_R4, VT_R8; anything else repeats the latest value).
    CAddResult Add(const VARIANT* value, LONGLONG now);

    // A trim pass: BeginTrim marks it running and says how many samples it drops; DropOldest
    // drops one and scrolls the grid one step; EndTrim marks it done.
    LONGLONG BeginTrim();
    void DropOldest();
    void EndTrim();

    void SetSpan(int span);
    int GetSpan() const;
    void SetPrecision(int precision);
    void SetTitle(const wchar_t* title);
    std::wstring GetTitle() const;
    void SetGradientColor(BYTE r, BYTE g, BYTE b);

    // Fills the snapshot for a plot area of the given size, recomputing the span from its width
    // and the range, scale and middle value from the bounds.
    void TakeSnapshot(int plotWidth, int plotHeight, CChartSnapshot& snapshot);

    // Read-outs for inspection.
    std::deque<float> Samples() const;
    float Min() const;
    float Max() const;
    float Interval() const;
    int GridPhase() const;
    int Precision() const;
    std::wstring Format() const;
    DWORD GradientColor() const;

private:
    void RecomputeBounds();
    void Widen(float value);

    mutable CCriticalSection m_lock;
    const double m_frequency;
    int m_span = 100;
    float m_last = 0;
    std::deque<float> m_samples;
    float m_min, m_max;
    float m_range = 1, m_scale = 0;
    const int m_step = 5;
    int m_precision = 1;
    float m_interval = 0;
    LONGLONG m_lastAdd;
    wchar_t m_title[kTitleLength] = {};
    wchar_t m_format[kFormatLength] = L"%6.1f";
    DWORD m_gradientColor = 0xFF00B400;
    bool m_trimming = false;
    const int m_gridSize = 20;
    int m_gridPhase = 10;
};
