// What counts as a number before a peer's, a file's or a step's value is used.
#include "engine/core/Finite.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Finite, EveryComponentMustBeANumberNeitherInfiniteNorNaN)
{
    const float bad[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};
    EXPECT_TRUE(kit::finite(0.0f));
    EXPECT_TRUE(kit::finite(std::numeric_limits<float>::max()));
    EXPECT_TRUE(kit::finite(glm::vec2(1.0f, -2.0f)));
    EXPECT_TRUE(kit::finite(glm::vec3(1.0f, -2.0f, 3.0f)));
    EXPECT_TRUE(kit::finite(glm::quat(1.0f, 0.0f, 0.0f, 0.0f)));
    for (const float b : bad) {
        EXPECT_FALSE(kit::finite(b));
        for (int i = 0; i < 2; ++i) {
            glm::vec2 v(1.0f);
            v[i] = b;
            EXPECT_FALSE(kit::finite(v)) << i;
        }
        for (int i = 0; i < 3; ++i) {
            glm::vec3 v(1.0f);
            v[i] = b;
            EXPECT_FALSE(kit::finite(v)) << i;
        }
        for (int i = 0; i < 4; ++i) {
            glm::quat q(1.0f, 0.0f, 0.0f, 0.0f);
            q[i] = b;
            EXPECT_FALSE(kit::finite(q)) << i;
        }
    }
}
