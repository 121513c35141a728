#include "DecimalComma.h"
#include "Evaluator.h"
#include "EvaluatorVariableTable.h"
#include <gtest/gtest.h>
#include <clocale>
#include <cmath>
#include <ctime>
#include <string>

namespace {

struct SResult {
    int code;
    double value;
    int assigned;
};

SResult Eval(const std::wstring& text)
{
    SResult r{-1, -1.0, -1};
    r.code = Evaluate(text.c_str(), r.value, r.assigned);
    return r;
}

double ValueOf(const std::wstring& text)
{
    SResult r = Eval(text);
    EXPECT_EQ(r.code, 0) << "for " << std::string(text.begin(), text.end());
    return r.value;
}

int CodeOf(const std::wstring& text)
{
    return Eval(text).code;
}

// The variable table lives for the whole process: every test removes the names it made.
class Evaluator : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const wchar_t* name : {L"x", L"k", L"a", L"b", L"pi", L"abcdefghijklmno"})
            ClearVariable(name);
    }
};

}  // namespace

TEST_F(Evaluator, ArithmeticAndPrecedence)
{
    EXPECT_EQ(ValueOf(L"1 + 2 * 3"), 7.0);
    EXPECT_EQ(ValueOf(L"(1 + 2) * 3"), 9.0);
    EXPECT_EQ(ValueOf(L"7 % 2"), 1.0);
    EXPECT_EQ(ValueOf(L"2 ^ 10"), 1024.0);
    EXPECT_EQ(ValueOf(L"10 - 2 - 3"), 5.0);
    EXPECT_EQ(ValueOf(L"8 / 2 / 2"), 2.0);
    EXPECT_EQ(ValueOf(L"(0 - 7) % 3"), -1.0);
    EXPECT_EQ(ValueOf(L"2 - -1"), 3.0);
    EXPECT_EQ(ValueOf(L"\t+3\t"), 3.0);
    EXPECT_EQ(ValueOf(L"\r\n  1 +\n 2\r\n"), 3.0) << "a formula on lines of its own";
}

TEST_F(Evaluator, SignBindsTighterThanPowerAndOnlyOnePowerIsRead)
{
    EXPECT_EQ(ValueOf(L"-2 ^ 2"), 4.0);
    EXPECT_EQ(ValueOf(L"2 ^ -1"), 0.5);
    EXPECT_EQ(ValueOf(L"2^3^2"), 8.0);
    EXPECT_EQ(ValueOf(L"3 * 2 ^ 2"), 12.0);
    EXPECT_EQ(CodeOf(L"--2"), 1);
    EXPECT_EQ(CodeOf(L"2 ^ +-1"), 1);
}

TEST_F(Evaluator, TextAfterACompleteStatementIsIgnored)
{
    EXPECT_EQ(ValueOf(L"1 2"), 1.0);
    EXPECT_EQ(ValueOf(L"(4) 5 )"), 4.0);
    EXPECT_EQ(ValueOf(L"1 = 2"), 1.0);
    // The scanner reads one token ahead, so a bad character right after the end still counts.
    EXPECT_EQ(CodeOf(L"1 $"), 1);
}

TEST_F(Evaluator, NumbersUseTheDecimalComma)
{
    EXPECT_EQ(ValueOf(L"1,5 * 2"), 3.0);
    EXPECT_EQ(CodeOf(L"1.5"), 1);
    EXPECT_EQ(ValueOf(L"0,1"), 0.1);
    EXPECT_EQ(ValueOf(L"3,141592653589793"), 3.141592653589793);
    EXPECT_EQ(ValueOf(L"1,5,3"), 1.5);
    EXPECT_EQ(ValueOf(L"2,"), 2.0);
    EXPECT_EQ(CodeOf(L",5"), 1);
}

TEST_F(Evaluator, NumbersLongerThanTheTokenAreRefused)
{
    std::wstring digits31(31, L'1');
    EXPECT_EQ(ValueOf(digits31), 1.1111111111111111e30);
    EXPECT_EQ(CodeOf(digits31 + L"1"), 1);
    EXPECT_EQ(CodeOf(L"0," + std::wstring(1000, L'0')), 1);
}

TEST_F(Evaluator, NumberConversionIgnoresTheRuntimeLocale)
{
    std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "Russian", "English"}) {
        std::setlocale(LC_ALL, locale);
        EXPECT_EQ(ValueOf(L"2,5 * 2"), 5.0) << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST_F(Evaluator, AssignmentStoresAndReturnsItsValue)
{
    SResult r = Eval(L"x = 5");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.value, 5.0);
    EXPECT_EQ(r.assigned, 1);
    r = Eval(L"x * 2");
    EXPECT_EQ(r.value, 10.0);
    EXPECT_EQ(r.assigned, 0);
    EXPECT_EQ(ValueOf(L"x=x+1"), 6.0);
    EXPECT_EQ(CodeOf(L"x = y"), 4);
    EXPECT_EQ(ValueOf(L"x"), 6.0);
}

TEST_F(Evaluator, AssignmentWithNothingAfterTheSignRemovesTheName)
{
    ValueOf(L"x = 5");
    SResult r = Eval(L"x =  ");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.assigned, 1);
    EXPECT_EQ(CodeOf(L"x"), 4);
    EXPECT_EQ(CodeOf(L"x ="), 0);
}

TEST_F(Evaluator, AssignmentInsideParentheses)
{
    SResult r = Eval(L"(k = 3) * 2");
    EXPECT_EQ(r.value, 6.0);
    EXPECT_EQ(r.assigned, 0);
    double k = 0;
    EXPECT_TRUE(GetVariable(L"k", k));
    EXPECT_EQ(k, 3.0);
    EXPECT_EQ(ValueOf(L"sin(k = 0)"), 0.0);
    EXPECT_EQ(ValueOf(L"k"), 0.0);
}

TEST_F(Evaluator, AnErrorKeepsTheAssignmentsDoneBeforeIt)
{
    SResult r = Eval(L"a = (b = 2) / 0");
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(ValueOf(L"b"), 2.0);
    EXPECT_EQ(CodeOf(L"a"), 4);
}

TEST_F(Evaluator, Functions)
{
    EXPECT_EQ(ValueOf(L"sin(0)"), 0.0);
    EXPECT_EQ(ValueOf(L"sin(1,2)"), std::sin(1.2));
    EXPECT_EQ(ValueOf(L"sqrt (16)"), 4.0);
    EXPECT_EQ(ValueOf(L"deg(pi)"), 180.0);
    EXPECT_EQ(ValueOf(L"rad(180)"), 3.141592653589793);
    EXPECT_EQ(ValueOf(L"log(e)"), 1.0);
    EXPECT_EQ(ValueOf(L"log10(1000)"), 3.0);
    EXPECT_EQ(ValueOf(L"floor(-1,5) + ceil(1,2) + abs(-3)"), 3.0);
    EXPECT_EQ(ValueOf(L"2 * sqrt(abs(sin(0) - 9))"), 6.0);
    // The token after the argument is taken as the ")" without a look.
    EXPECT_EQ(ValueOf(L"sqrt(4"), 2.0);
    EXPECT_EQ(ValueOf(L"sqrt(4 9) + 1"), 2.0);
    EXPECT_TRUE(std::isnan(ValueOf(L"sqrt(-1)")));
}

TEST_F(Evaluator, FunctionErrors)
{
    EXPECT_EQ(CodeOf(L"sin()"), 8);
    EXPECT_EQ(CodeOf(L"sin(,1)"), 8);
    EXPECT_EQ(CodeOf(L"sin(pi,)"), 8);
    EXPECT_EQ(CodeOf(L"foo(1)"), 6);
    EXPECT_EQ(CodeOf(L"Sin(1)"), 6);
    EXPECT_EQ(CodeOf(L"sin(pi, e)"), 7);
    EXPECT_EQ(CodeOf(L"sin(pi, e, pi, e, pi)"), 7);
    EXPECT_EQ(CodeOf(L"sqrt 4"), 4);
    EXPECT_STREQ(EvaluatorErrorToken(), L"sqrt");
}

TEST_F(Evaluator, RandomReseedsFromTheClockAndItsArgument)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::time_t before = std::time(nullptr);
        double first = ValueOf(L"random(3,5)");
        double second = ValueOf(L"random(4)");
        double other = ValueOf(L"random(5)");
        double otherAgain = ValueOf(L"random(5)");
        if (std::time(nullptr) != before)
            continue;  // the clock ticked between the calls
        EXPECT_EQ(first, second);  // ceil(3,5) is 4
        EXPECT_EQ(other, otherAgain);
        EXPECT_GE(first, 0.0);
        EXPECT_LE(first, 32767.0);
        EXPECT_EQ(first, std::floor(first));
        break;
    }
    double huge = ValueOf(L"random(10 ^ 300)");
    EXPECT_GE(huge, 0.0);
}

TEST_F(Evaluator, ConstantsAreHiddenByVariables)
{
    EXPECT_EQ(ValueOf(L"pi"), 3.141592653589793);
    EXPECT_EQ(ValueOf(L"e"), 2.718281828459045);
    EXPECT_EQ(ValueOf(L"pi = 3"), 3.0);
    EXPECT_EQ(ValueOf(L"pi * 2"), 6.0);
    EXPECT_TRUE(ClearVariable(L"pi"));
    EXPECT_FALSE(ClearVariable(L"pi"));
    EXPECT_EQ(ValueOf(L"pi"), 3.141592653589793);
    EXPECT_EQ(CodeOf(L"PI"), 4);
}

TEST_F(Evaluator, UnderscoreNamesReadTheEnvironment)
{
    ASSERT_EQ(_wputenv(L"ORVEX_EVAL=-2,5"), 0);
    EXPECT_EQ(ValueOf(L"_ORVEX_EVAL * 2"), -5.0);
    ASSERT_EQ(_wputenv(L"ORVEX_EVAL= 1,5e2x"), 0);
    EXPECT_EQ(ValueOf(L"_ORVEX_EVAL"), 150.0);
    ASSERT_EQ(_wputenv(L"ORVEX_EVAL=2.5"), 0);  // a point ends the number, as in formulas
    EXPECT_EQ(ValueOf(L"_ORVEX_EVAL"), 2.0);
    EXPECT_EQ(ValueOf(L"_PATH"), 0.0);
    // The table is not searched for such names, even when one was stored there.
    EXPECT_EQ(ValueOf(L"_ORVEX_NOT_SET = 7"), 7.0);
    EXPECT_EQ(CodeOf(L"_ORVEX_NOT_SET"), 4);
    EXPECT_TRUE(ClearVariable(L"_ORVEX_NOT_SET"));
    EXPECT_EQ(CodeOf(L"_"), 4);
    _wputenv(L"ORVEX_EVAL=");
}

TEST_F(Evaluator, NamesAreCutToFifteenCharacters)
{
    EXPECT_EQ(ValueOf(L"abcdefghijklmnopqrstu = 4"), 4.0);
    EXPECT_EQ(ValueOf(L"abcdefghijklmno"), 4.0);
    EXPECT_EQ(ValueOf(L"abcdefghijklmnoXYZ + 1"), 5.0);
    double v = 0;
    // Callers outside formulas meet the same slot through the long name.
    EXPECT_TRUE(GetVariable(L"abcdefghijklmnopqrstu", v));
    EXPECT_TRUE(SetVariable(L"abcdefghijklmnopqrstu", 8.0));
    EXPECT_EQ(ValueOf(L"abcdefghijklmno"), 8.0);
    EXPECT_TRUE(ClearVariable(L"abcdefghijklmnoQ"));
    EXPECT_FALSE(GetVariable(L"abcdefghijklmno", v));

    std::wstring longName(1000, L'z');
    EXPECT_EQ(ValueOf(longName + L" = 1"), 1.0);
    EXPECT_EQ(ValueOf(longName.substr(0, 15)), 1.0);
    EXPECT_STREQ(EvaluatorErrorToken(), L"");
    EXPECT_EQ(CodeOf(longName.substr(0, 14) + L"y"), 4);
    EXPECT_STREQ(EvaluatorErrorToken(), (longName.substr(0, 14) + L"y").c_str());
    ClearVariable(longName.c_str());
}

TEST_F(Evaluator, ErrorCodesPositionsAndTexts)
{
    EXPECT_EQ(CodeOf(L"1 / 0"), 3);
    EXPECT_EQ(FormatEvaluatorError(3), L" 4: Division by zero");
    EXPECT_EQ(CodeOf(L"5 % 0,0"), 3);
    EXPECT_EQ(CodeOf(L""), 9);
    EXPECT_EQ(FormatEvaluatorError(9), L" 0: Empty expression");
    EXPECT_EQ(CodeOf(L" \t "), 9);
    EXPECT_EQ(CodeOf(L"(1 + 2"), 2);
    EXPECT_EQ(CodeOf(L"(1 2)"), 2);
    EXPECT_EQ(CodeOf(L"()"), 8);
    EXPECT_EQ(CodeOf(L"1 + $"), 1);
    EXPECT_EQ(EvaluatorErrorPosition(), 4);
    EXPECT_STREQ(EvaluatorErrorToken(), L"$");
    EXPECT_EQ(CodeOf(L"2 * y1"), 4);
    EXPECT_EQ(FormatEvaluatorError(4), L" 5: Unknown variable");
    EXPECT_STREQ(EvaluatorErrorToken(), L"y1");
    EXPECT_EQ(CodeOf(L"2 *\nx"), 4);  // a line break is a blank
    EXPECT_STREQ(EvaluatorErrorToken(), L"x");
    EXPECT_EQ(CodeOf(L"1 + \x0416"), 1);
    EXPECT_EQ(CodeOf(L"\x0662"), 1);  // a non-Latin digit

    EXPECT_EQ(CodeOf(L"2 + 2"), 0);
    EXPECT_EQ(EvaluatorErrorPosition(), 0);
    EXPECT_STREQ(EvaluatorErrorToken(), L"");

    const wchar_t* texts[] = {L"", L"Syntax error", L"Unbalanced parenthesis", L"Division by zero",
                              L"Unknown variable", L"Maximum variables exceeded", L"Unrecognised funtion",
                              L"Wrong number of arguments to funtion", L"Missing an argument", L"Empty expression"};
    for (int code = 0; code <= 9; ++code)
        EXPECT_STREQ(EvaluatorErrorText(code), texts[code]);
    EXPECT_STREQ(EvaluatorErrorText(10), L"");
    EXPECT_STREQ(EvaluatorErrorText(-1), L"");
}

TEST_F(Evaluator, NullTextIsEmpty)
{
    double v = 1;
    int assigned = 1;
    EXPECT_EQ(Evaluate(nullptr, v, assigned), 9);
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(GetVariable(nullptr, v));
    EXPECT_FALSE(SetVariable(nullptr, 1.0));
    EXPECT_FALSE(SetVariable(L"", 1.0));
    EXPECT_FALSE(ClearVariable(nullptr));
}

TEST_F(Evaluator, NestingIsBounded)
{
    // The whole formula is one statement level, each parenthesis another.
    int parentheses = kEvaluatorMaxNesting - 1;
    std::wstring deepest = std::wstring(parentheses, L'(') + L"7" + std::wstring(parentheses, L')');
    EXPECT_EQ(ValueOf(deepest), 7.0);
    EXPECT_EQ(CodeOf(L"(" + deepest + L")"), 1);

    std::wstring calls;
    for (int i = 0; i < parentheses; ++i)
        calls += L"abs(";
    EXPECT_EQ(ValueOf(calls + L"-1" + std::wstring(parentheses, L')')), 1.0);
    EXPECT_EQ(CodeOf(L"abs(" + calls + L"1"), 1);

    EXPECT_EQ(CodeOf(std::wstring(1000000, L'(')), 1);
    EXPECT_EQ(CodeOf(std::wstring(1000000, L'-')), 1);
}

TEST_F(Evaluator, LongFlatFormulasAreFine)
{
    std::wstring sum = L"0";
    for (int i = 0; i < 200000; ++i)
        sum += L"+1";
    EXPECT_EQ(ValueOf(sum), 200000.0);
}

TEST_F(Evaluator, FullTableIsErrorFive)
{
    int stored = 0;
    while (stored <= CEvaluatorVariableTable::kSlots && SetVariable((L"f" + std::to_wstring(stored)).c_str(), stored))
        ++stored;
    EXPECT_EQ(stored, 500);
    EXPECT_EQ(CodeOf(L"x = 1"), 5);
    EXPECT_EQ(CodeOf(L"x"), 4);
    // A name already stored keeps its slot.
    EXPECT_EQ(ValueOf(L"f7 = 70"), 70.0);
    EXPECT_EQ(ValueOf(L"f7 + f499"), 569.0);
    EXPECT_TRUE(ClearVariable(L"f0"));
    EXPECT_EQ(ValueOf(L"x = 1"), 1.0);
    EXPECT_FALSE(SetVariable(L"f0", 0));
    for (int i = 0; i < stored; ++i)
        ClearVariable((L"f" + std::to_wstring(i)).c_str());
}

TEST(EvaluatorVariableTable, HoldsFiveHundredNamesOnceEach)
{
    CEvaluatorVariableTable table;
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(table.Set((L"v" + std::to_wstring(i)).c_str(), i));
    EXPECT_FALSE(table.Set(L"w", 1));
    EXPECT_TRUE(table.Set(L"v3", 33));
    double v = 0;
    EXPECT_TRUE(table.Find(L"v3", v));
    EXPECT_EQ(v, 33.0);
    EXPECT_TRUE(table.Clear(L"v3"));
    EXPECT_FALSE(table.Clear(L"v3"));
    EXPECT_FALSE(table.Find(L"v3", v));
    EXPECT_TRUE(table.Set(L"w", 1));
    EXPECT_TRUE(table.Find(L"v499", v));
    EXPECT_EQ(v, 499.0);
}

TEST(DecimalComma, ReadsLikeWcstodWithACommaAndSaturates)
{
    EXPECT_EQ(DecimalCommaToDouble(L" \t-0,5e1;"), -5.0);
    EXPECT_EQ(DecimalCommaToDouble(L"3e"), 3.0);
    EXPECT_EQ(DecimalCommaToDouble(L"+,25"), 0.25);
    EXPECT_EQ(DecimalCommaToDouble(L"x1"), 0.0);
    EXPECT_EQ(DecimalCommaToDouble(L"1e400"), HUGE_VAL);
    EXPECT_EQ(DecimalCommaToDouble(L"-1e99999999999999999999"), -HUGE_VAL);
    EXPECT_EQ(DecimalCommaToDouble((std::wstring(400, L'9') + L",5").c_str()), HUGE_VAL);
    EXPECT_EQ(DecimalCommaToDouble(L"0,0001e-400"), 0.0);
    EXPECT_EQ(DecimalCommaToDouble(L"1e-99999999999999999999"), 0.0);
}
