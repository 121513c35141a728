#pragma once
#include "ChartModel.h"

// The texts one paint prints, formatted from that paint's snapshot with the chart's number
// format under the process locale. A text the paint does not show is left empty.
struct CChartTexts {
    static const size_t kLength = 512;

    wchar_t value[kLength];    // the latest-value readout, always shown ("—" for no finite number)
    wchar_t minimum[kLength];  // the labels, shown with more than two samples and a finite one:
    wchar_t maximum[kLength];  // the maximum and the middle only while the bounds differ
    wchar_t middle[kLength];
    wchar_t span[kLength];     // the time one chart width covers, "2 мин"
};

void FormatChartTexts(const CChartSnapshot& snapshot, CChartTexts& texts);
