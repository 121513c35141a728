#include "EvaluatorFunctions.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <cwchar>

namespace {

constexpr double kPi = 3.141592653589793;

double Deg(double x)
{
    return x * 180.0 / kPi;
}

double Rad(double x)
{
    return x * kPi / 180.0;
}

// A seed out of the range of a 64-bit integer (a huge or non-finite argument) becomes 0:
// converting it directly would be undefined.
unsigned SeedFrom(double seed)
{
    if (!(std::fabs(seed) < 9.2e18))
        return 0;
    return unsigned(uint64_t(int64_t(seed)));
}

// Reseeds with the calendar time in seconds plus the argument, so calls within one second
// with one argument repeat their number.
double Random(double x)
{
    std::srand(SeedFrom(double(std::time(nullptr)) + std::ceil(x)));
    return double(std::rand());
}

double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }
double Sinh(double x) { return std::sinh(x); }
double Cosh(double x) { return std::cosh(x); }
double Tanh(double x) { return std::tanh(x); }
double Exp(double x) { return std::exp(x); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Abs(double x) { return std::fabs(x); }

struct SFunction {
    const wchar_t* name;
    EvalFunction function;
};

const SFunction kFunctions[] = {
    {L"sin", Sin},     {L"cos", Cos},     {L"tan", Tan},     {L"asin", Asin},   {L"acos", Acos},
    {L"atan", Atan},   {L"sinh", Sinh},   {L"cosh", Cosh},   {L"tanh", Tanh},   {L"exp", Exp},
    {L"log", Log},     {L"log10", Log10}, {L"sqrt", Sqrt},   {L"floor", Floor}, {L"ceil", Ceil},
    {L"abs", Abs},     {L"deg", Deg},     {L"rad", Rad},     {L"random", Random},
};

}  // namespace

EvalFunction FindEvaluatorFunction(const wchar_t* name)
{
    for (const SFunction& f : kFunctions) {
        if (std::wcscmp(f.name, name) == 0)
            return f.function;
    }
    return nullptr;
}
