// Generated and mutated formulas, each placed right before an inaccessible page so that any
// read past its terminating zero faults. Asserts only that every call returns, with a
// consistent error state and a consistent variable table.
#include "Evaluator.h"
#include "GuardedPage.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <random>
#include <set>
#include <string>

namespace {

constexpr unsigned kDefaultSeed = 20261208;
constexpr unsigned long kDefaultFormulas = 120000;  // make soak sets ORVEX_EVAL_COUNT to a million

bool IsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_';
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || (c >= L'0' && c <= L'9');
}

// Every name the scanner could make of the text (cut as it cuts them): any variable a formula
// stores is among them.
void CollectNames(const std::wstring& text, std::set<std::wstring>& names)
{
    for (size_t i = 0; i < text.size();) {
        if (text[i] >= L'0' && text[i] <= L'9') {
            while (i < text.size() && ((text[i] >= L'0' && text[i] <= L'9') || text[i] == L','))
                ++i;
        } else if (IsNameStart(text[i])) {
            size_t start = i;
            while (i < text.size() && IsNameChar(text[i]))
                ++i;
            names.insert(text.substr(start, std::min<size_t>(i - start, 15)));
        } else {
            ++i;
        }
    }
}

// The name a whole-formula assignment stores to, or "".
std::wstring AssignedName(const std::wstring& text, bool& clears)
{
    size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos || !IsNameStart(text[i]))
        return L"";
    size_t start = i;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    std::wstring name = text.substr(start, std::min<size_t>(i - start, 15));
    i = text.find_first_not_of(L" \t", i);
    if (i == std::wstring::npos || text[i] != L'=')
        return L"";
    clears = text.find_first_not_of(L" \t", i + 1) == std::wstring::npos;
    return name;
}

class CFormulaMaker {
public:
    explicit CFormulaMaker(unsigned seed) : m_rng(seed) {}

    std::wstring Make()
    {
        std::wstring text = Uniform(4) == 0 ? Pool() + L" = " + Expression(5) : Expression(5);
        if (Uniform(50) == 0) {
            int depth = 90 + Uniform(20);
            text = std::wstring(depth, L'(') + text + std::wstring(depth, L')');
        }
        return text;
    }

    std::wstring Mutate(std::wstring text)
    {
        for (int n = 1 + Uniform(4); n > 0; --n) {
            size_t at = text.empty() ? 0 : Uniform(int(text.size()));
            switch (Uniform(6)) {
            case 0: text.insert(at, 1, Character()); break;
            case 1: if (!text.empty()) text.erase(at, 1); break;
            case 2: if (!text.empty()) text[at] = Character(); break;
            case 3: text.insert(at, text.substr(Uniform(int(text.size()) + 1))); break;
            case 4: text.resize(at); break;
            default: text.insert(at, std::wstring(1 + Uniform(40), Character())); break;
            }
        }
        return text.substr(0, std::wcslen(text.c_str()));
    }

private:
    int Uniform(int n) { return int(m_rng() % unsigned(n)); }

    std::wstring Pool() { return L"fz" + std::to_wstring(Uniform(12)); }

    std::wstring Number()
    {
        std::wstring digits = std::to_wstring(m_rng() % 100000);
        if (Uniform(3) == 0)
            digits += L"," + std::to_wstring(m_rng() % 1000);
        if (Uniform(40) == 0)
            digits += std::wstring(25 + Uniform(15), L'7');
        return digits;
    }

    std::wstring Atom(int depth)
    {
        static const wchar_t* const names[] = {L"pi", L"e", L"_PATH", L"_ORVEX_FUZZ", L"_NOT_SET", L"nothing",
                                               L"averyveryverylongvariablename"};
        static const wchar_t* const functions[] = {L"sin", L"sqrt", L"log", L"random", L"abs", L"tan",
                                                   L"deg", L"foo", L"Sin", L"exp"};
        switch (Uniform(6)) {
        case 0: case 1: return Number();
        case 2: return Pool();
        case 3: return names[Uniform(7)];
        case 4: return L"(" + Expression(depth - 1) + L")";
        default: {
            std::wstring call = std::wstring(functions[Uniform(10)]) + L"(";
            for (int n = Uniform(7) == 0 ? Uniform(6) : 1, i = 0; i < n; ++i)
                call += (i ? L", " : L"") + Expression(depth - 1);
            return call + L")";
        }
        }
    }

    std::wstring Expression(int depth)
    {
        static const wchar_t ops[] = L"+-*/%^";
        std::wstring text = (Uniform(5) == 0 ? L"-" : L"") + (depth > 0 ? Atom(depth) : Number());
        for (int n = Uniform(4); n > 0; --n)
            text += std::wstring(L" ") + ops[Uniform(6)] + L" " + (depth > 0 ? Atom(depth) : Number());
        if (Uniform(20) == 0)
            text = Pool() + L" = " + text;
        return text;
    }

    wchar_t Character()
    {
        static const wchar_t common[] = L"+-*/%^(),=  \t.0123456789_aezZ";
        switch (Uniform(4)) {
        case 0: return wchar_t(1 + Uniform(0xFFFE));
        case 1: return wchar_t(0x20 + Uniform(0x60));
        default: return common[Uniform(int(std::wcslen(common)))];
        }
    }

    std::mt19937 m_rng;
};

unsigned long FromEnvironment(const char* name, unsigned long fallback)
{
    const char* text = std::getenv(name);
    return text ? std::strtoul(text, nullptr, 10) : fallback;
}

bool SameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

void CheckErrorState(const std::wstring& text, int code, int assigned)
{
    ASSERT_GE(code, 0);
    ASSERT_LE(code, 9);
    if (code == 0) {
        ASSERT_TRUE(assigned == 0 || assigned == 1);
        ASSERT_EQ(EvaluatorErrorPosition(), 0);
        ASSERT_STREQ(EvaluatorErrorToken(), L"");
        return;
    }
    ASSERT_NE(std::wcslen(EvaluatorErrorText(code)), 0u);
    ASSERT_GE(EvaluatorErrorPosition(), 0);
    ASSERT_LE(size_t(EvaluatorErrorPosition()), text.size());
    std::wstring token = EvaluatorErrorToken();
    ASSERT_LE(token.size(), 31u);
    ASSERT_NE(text.find(token), std::wstring::npos);
}

// A successful whole-formula assignment must be readable at once with the same value.
void CheckAssignment(const std::wstring& text, double value)
{
    bool clears = false;
    std::wstring name = AssignedName(text, clears);
    if (name.empty() || name[0] == L'_' || name == L"pi" || name == L"e")
        return;
    double stored = 0;
    bool found = GetVariable(name.c_str(), stored);
    if (clears) {
        ASSERT_FALSE(found) << "cleared " << std::string(name.begin(), name.end());
    } else {
        ASSERT_TRUE(found);
        ASSERT_TRUE(SameValue(stored, value));
    }
}

}  // namespace

TEST(EvaluatorRobustness, GeneratedAndMutatedFormulas)
{
    auto seed = unsigned(FromEnvironment("ORVEX_EVAL_SEED", kDefaultSeed));
    unsigned long count = FromEnvironment("ORVEX_EVAL_COUNT", kDefaultFormulas);
    SCOPED_TRACE("seed " + std::to_string(seed) + " (set ORVEX_EVAL_SEED to repeat another)");
    _wputenv(L"ORVEX_FUZZ=12,5");
    CFormulaMaker maker(seed);
    CGuardedPage guarded;
    const size_t capacity = guarded.Bytes() / sizeof(wchar_t) - 1;
    std::set<std::wstring> names;
    int codes[10] = {};
    std::wstring previous = L"1 + 2 * 3";
    for (unsigned long i = 0; i < count; ++i) {
        std::wstring text = i % 2 ? maker.Mutate(previous) : maker.Make();
        if (i % 2 == 0)
            previous = text;
        if (text.size() > capacity)
            text.resize(capacity);
        CollectNames(text, names);
        double value = 0;
        int assigned = 0;
        int code = Evaluate(guarded.Place(text.c_str(), text.size() + 1), value, assigned);
        CheckErrorState(text, code, assigned);
        if (code == 0 && assigned)
            CheckAssignment(text, value);
        if (::testing::Test::HasFatalFailure()) {
            ADD_FAILURE() << "formula " << i << ": " << std::string(text.begin(), text.end());
            return;
        }
        ++codes[code];
    }
    // Every stored name sits in exactly one slot: a second removal finds nothing.
    for (const std::wstring& name : names) {
        ClearVariable(name.c_str());
        EXPECT_FALSE(ClearVariable(name.c_str())) << std::string(name.begin(), name.end());
    }
    std::printf("%lu formulas, seed %u\n", count, seed);
    // Most codes should turn up, or the generator is not reaching the evaluator's corners.
    for (int code : {0, 1, 2, 3, 4, 6, 7, 8, 9})
        EXPECT_GT(codes[code], 0) << "code " << code;
    _wputenv(L"ORVEX_FUZZ=");
}
