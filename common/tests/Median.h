#pragma once
#include <algorithm>
#include <vector>

// The median of a benchmark's samples (0 when there are none).
inline double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    size_t half = samples.size() / 2;
    return samples.size() % 2 ? samples[half] : (samples[half - 1] + samples[half]) / 2.0;
}
