#pragma once

#include <glm/vec2.hpp>
#include <gtest/gtest.h>

namespace test {

// Both components of a 2-D vector within `tolerance` of the expected ones.
inline void expectVec(glm::vec2 actual, glm::vec2 expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

} // namespace test
