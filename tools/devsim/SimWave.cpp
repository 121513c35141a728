#include "SimWave.h"
#include <cmath>
#include <cstdlib>

namespace {
const double kPi = 3.14159265358979;

bool ReadNumber(const std::string& text, double& number)
{
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}
}  // namespace

double SimWave::At(double seconds, double phase, std::mt19937& random) const
{
    double angle = 2.0 * kPi * seconds / period + phase;
    double unit = std::sin(angle);
    if (shape == Triangle)
        unit = 2.0 / kPi * std::asin(unit);
    else if (shape == Square)
        unit = unit >= 0.0 ? 1.0 : -1.0;
    double jitter = noise > 0.0 ? std::normal_distribution<double>(0.0, noise)(random) : 0.0;
    return amplitude * unit + jitter;
}

bool SimWave::High(double seconds, double phase) const
{
    return std::sin(2.0 * kPi * seconds / period + phase) >= 0.0;
}

bool ParseWave(const std::string& text, SimWave& wave)
{
    std::string parts[4];
    size_t count = 0, start = 0;
    for (;;) {
        size_t colon = text.find(':', start);
        if (count == 4)
            return false;
        parts[count++] = text.substr(start, colon - start);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    const std::pair<const char*, SimWave::Shape> shapes[] = {
        {"sine", SimWave::Sine}, {"triangle", SimWave::Triangle}, {"square", SimWave::Square}};
    bool named = false;
    for (const auto& shape : shapes)
        if (parts[0] == shape.first) {
            wave.shape = shape.second;
            named = true;
        }
    if (!named || count < 2 || !ReadNumber(parts[1], wave.period) || wave.period <= 0.0)
        return false;
    if (count > 2 && !ReadNumber(parts[2], wave.amplitude))
        return false;
    return count < 4 || (ReadNumber(parts[3], wave.noise) && wave.noise >= 0.0);
}
