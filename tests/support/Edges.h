#pragma once

#include <cmath>
#include <limits>

namespace test {

// The next float beyond a bound, away from zero: the smallest step by which
// a received value can pass it.
inline float justPast(float bound)
{
    constexpr float infinity = std::numeric_limits<float>::infinity();
    return std::nextafter(bound, bound < 0.0f ? -infinity : infinity);
}

// The next float on the near side of a bound, toward zero.
inline float justShort(float bound)
{
    return std::nextafter(bound, 0.0f);
}

} // namespace test
