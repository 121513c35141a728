#include "ChartTexts.h"
#include "NumberFormat.h"

void FormatChartTexts(const CChartSnapshot& snapshot, CChartTexts& texts)
{
    const size_t length = CChartTexts::kLength;
    wchar_t format[CChartModel::kFormatLength];
    MakePaintFormat(snapshot.format, snapshot.last, format, CChartModel::kFormatLength);
    PrintNumber(texts.value, length, format, snapshot.last);
    texts.minimum[0] = texts.maximum[0] = texts.middle[0] = texts.span[0] = 0;
    if (snapshot.count <= 2)
        return;
    PrintNumber(texts.minimum, length, format, snapshot.min);
    if (snapshot.max != snapshot.min) {
        PrintNumber(texts.maximum, length, format, snapshot.max);
        PrintNumber(texts.middle, length, format, snapshot.middle);
    }
    PrintNumber(texts.span, length, L"%.0f мин", snapshot.interval / 60000 * snapshot.span);
}
