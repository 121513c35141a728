// The texts orvex builds itself: value column, time texts and the bounds' number reading; the
// scale buttons' range codes.
#include "DataExchange.h"
#include "InputRanges.h"
#include "TimeText.h"
#include "ValueText.h"
#include <boost/date_time/posix_time/posix_time.hpp>
#include <clocale>
#include <gtest/gtest.h>

using namespace boost::posix_time;

namespace {
CValue Float(float f) { CValue v; v.SetFloat(f); return v; }
CValue Double(double d) { CValue v; v.SetDouble(d); return v; }
}  // namespace

TEST(ValueText, EachTagHasItsNotationWithADecimalPointWhateverTheLocale)
{
    std::setlocale(LC_ALL, ".1251");
    CValue integer, boolean, text;
    integer.SetInteger(1);
    boolean.SetBoolean(true);
    text.tag = TagString;
    text.text = L"ОК";
    EXPECT_EQ(ValueText(integer), L"1");
    EXPECT_EQ(ValueText(boolean), L"true");
    boolean.SetBoolean(false);
    EXPECT_EQ(ValueText(boolean), L"false");
    EXPECT_EQ(ValueText(text), L"ОК");
    EXPECT_EQ(ValueText(Double(1.5)), L"1.500000e+000");
    EXPECT_EQ(ValueText(Double(1234.5678)), L"1.234568e+003");
    EXPECT_EQ(ValueText(Float(23.45678f)), L"23.4568");
    EXPECT_EQ(ValueText(Float(1e6f)), L"1e+006");
    EXPECT_EQ(ValueText(Float(-0.5f)), L"-0.5");
}

// The chart control switches the runtime to two-digit exponents when it paints a small value.
TEST(ValueText, ExponentsKeepThreeDigitsWhenTheRuntimePrintsTwo)
{
    _set_output_format(_TWO_DIGIT_EXPONENT);
    EXPECT_EQ(ValueText(Float(1e6f)), L"1e+006");
    EXPECT_EQ(ValueText(Float(-1.5e-7f)), L"-1.5e-007");
    EXPECT_EQ(ValueText(Double(1.5)), L"1.500000e+000");
    _set_output_format(0);
}

TEST(ValueText, FloatAfterADoubleKeepsTheDefaultNotation)
{
    ValueText(Double(2.0));
    EXPECT_EQ(ValueText(Float(2.5f)), L"2.5");
}

TEST(TimeText, StartTimeAndElapsedTimeFormats)
{
    ptime start(boost::gregorian::date(2016, 8, 11), hours(14) + minutes(5) + seconds(9));
    EXPECT_EQ(FormatTime(start, L"%d.%m.%Y %H:%M:%S"), L"11.08.2016 14:05:09");
    EXPECT_EQ(FormatDuration(seconds(5)), L"00:00:05");
    EXPECT_EQ(FormatDuration(hours(27) + minutes(13) + seconds(40)), L"27:13:40");
    EXPECT_EQ(FormatDuration(hours(123) + seconds(1)), L"123:00:01");
    EXPECT_EQ(FormatDuration(-(minutes(1) + seconds(2))), L"00:01:02");  // magnitude, no sign
}

TEST(BoundText, ParsesOnlyAFloatBetweenBlanksAndAZeroWrittenAsZero)
{
    std::setlocale(LC_ALL, "C");
    double value = 7;
    EXPECT_TRUE(ParseFloatText(L" \t1.5 \t", value));
    EXPECT_EQ(value, 1.5);
    EXPECT_TRUE(ParseFloatText(L"0", value));
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(ParseFloatText(L"-2.5e+008", value));
    EXPECT_EQ(value, -2.5e8);
    value = 7;
    for (const wchar_t* bad : {L"", L"  ", L"abc", L"1x", L"1 2", L"-0", L".0", L"1,5", L"1e400", L"-1e39", L"nan", L"1.#INF"})
        EXPECT_FALSE(ParseFloatText(bad, value)) << bad;
    EXPECT_EQ(value, 7);
}

TEST(InputRanges, ButtonsMapToTheirTypeCodes)
{
    ASSERT_EQ(std::size(kInputRanges), 12u);
    EXPECT_STREQ(FindInputRange(IDC_RANGE_FIRST)->code, L"00");
    EXPECT_STREQ(FindInputRange(11)->code, L"08");
    EXPECT_STREQ(FindInputRange(11)->caption, L"±10V");
    EXPECT_STREQ(FindInputRange(IDC_RANGE_LAST)->code, L"0D");
    EXPECT_EQ(FindInputRange(IDC_RANGE_FIRST - 1), nullptr);
    EXPECT_EQ(FindInputRange(IDC_RANGE_LAST + 1), nullptr);
}
