// Evaluations per second of a typical computed-variable formula and of a prologue line
// with nested functions.
#include "Evaluator.h"
#include <chrono>
#include <cstdio>

namespace {

double EvaluationsPerSecond(const wchar_t* formula)
{
    using Clock = std::chrono::steady_clock;
    const auto budget = std::chrono::milliseconds(1500);
    long long count = 0;
    double value = 0;
    int assigned = 0;
    auto start = Clock::now();
    auto elapsed = Clock::duration::zero();
    do {
        for (int i = 0; i < 10000; ++i) {
            if (Evaluate(formula, value, assigned) != 0) {
                std::printf("evaluation failed\n");
                return 0;
            }
        }
        count += 10000;
        elapsed = Clock::now() - start;
    } while (elapsed < budget);
    return double(count) / std::chrono::duration<double>(elapsed).count();
}

}  // namespace

int main()
{
    SetVariable(L"U1", 5.123);
    SetVariable(L"t", 0.5);
    // Some other names in front, as a real installation has.
    for (int i = 0; i < 40; ++i)
        SetVariable((L"V" + std::to_wstring(i)).c_str(), i);
    const wchar_t* formulas[] = {L"U1 = U1 * 0,25 + 1", L"k = sqrt(abs(sin(t))) ^ 2"};
    for (const wchar_t* formula : formulas)
        std::printf("%-28ls %12.0f evaluations/s\n", formula, EvaluationsPerSecond(formula));
    return 0;
}
