#include "ChartTexts.h"
#include "NumberFormat.h"
#include <cmath>
#include <cwchar>

void FormatChartTexts(const CChartSnapshot& snapshot, CChartTexts& texts)
{
    const size_t length = CChartTexts::kLength;
    wchar_t format[CChartModel::kFormatLength];
    MakePaintFormat(snapshot.format, snapshot.last, format, CChartModel::kFormatLength);
    // A latest value that is no finite number has no figures (the runtime would print "1,$").
    if (std::isfinite(snapshot.last))
        PrintNumber(texts.value, length, format, snapshot.last);
    else
        wcscpy(texts.value, L"—");
    texts.minimum[0] = texts.maximum[0] = texts.middle[0] = texts.span[0] = 0;
    if (snapshot.count <= 2)
        return;
    // Bounds come from finite samples only: while none is held they are unset (min above max).
    if (snapshot.min <= snapshot.max)
        PrintNumber(texts.minimum, length, format, snapshot.min);
    if (snapshot.min < snapshot.max) {
        PrintNumber(texts.maximum, length, format, snapshot.max);
        PrintNumber(texts.middle, length, format, snapshot.middle);
    }
    PrintNumber(texts.span, length, L"%.0f мин", snapshot.interval / 60000 * snapshot.span);
}
