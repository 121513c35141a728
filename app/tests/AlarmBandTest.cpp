#include "AlarmBand.h"
#include <gtest/gtest.h>
#include <limits>

TEST(AlarmBand, LowerBoundAlwaysUpperBoundOnlyWhenEnabled)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float value;
        int enabled;
        bool sounds;
    } cases[] = {
        {-1, 0, true},   {-1, 1, true},    // below: whether enabled or not
        {11, 0, false},  {11, 1, true},    // above: only when enabled
        {0, 1, false},   {10, 1, false},   // equal to a bound: inside
        {5, 1, false},   {nan, 0, false}, {nan, 1, false},
        {-std::numeric_limits<float>::infinity(), 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAlarm(c.value, 0, 10, c.enabled), c.sounds) << c.value << " enabled " << c.enabled;
}
