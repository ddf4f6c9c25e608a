// The checks that values read from a peer go through.
#include "engine/network/stream/Received.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kit::received;

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

} // namespace

TEST(Received, FiniteAndWithinABound)
{
    EXPECT_TRUE(finite(glm::vec3(1, -2, 3)));
    EXPECT_FALSE(finite(glm::vec3(1, notANumber, 3)));
    EXPECT_FALSE(finite(glm::vec2(-infinity, 0)));
    EXPECT_FALSE(finite(glm::quat(1, 0, 0, infinity)));
    EXPECT_TRUE(within(glm::vec3(limit, -limit, 0), limit)); // the bound itself is inside
    EXPECT_FALSE(within(glm::vec3(0, std::nextafter(limit, infinity), 0), limit));
    EXPECT_FALSE(within(glm::vec2(0, -1e30f), limit));
    EXPECT_FALSE(within(notANumber, limit));
}

TEST(Received, ABoxHoldsItsEdgesAndNothingBeyond)
{
    const Box box{{-1, -2, -3}, {1, 2, 3}};
    EXPECT_TRUE(box.contains(glm::vec3(-1, 2, 0)));
    EXPECT_FALSE(box.contains(glm::vec3(1.01f, 0, 0)));
    EXPECT_FALSE(box.contains(glm::vec3(0, -2.01f, 0)));
    EXPECT_FALSE(box.contains(glm::vec3(0, 0, 3.01f)));
    EXPECT_FALSE(box.contains(glm::vec3(notANumber, 0, 0)));
    EXPECT_TRUE(Box{}.contains(glm::vec3(-limit, limit, 0)));
    EXPECT_FALSE(Box{}.contains(glm::vec3(0, 0, -2 * limit)));
}

TEST(Received, RotationsArriveAsUnitQuaternions)
{
    // A unit rotation arrives bit for bit, even when rounding left it a hair off 1.
    const glm::quat turned = glm::angleAxis(0.3f, glm::normalize(glm::vec3(1, 2, 3)));
    ASSERT_TRUE(rotation(turned));
    EXPECT_EQ(*rotation(turned), turned);
    // One that is merely long is normalised.
    const auto doubled = rotation(glm::quat(0, 0, 2, 0));
    ASSERT_TRUE(doubled);
    EXPECT_EQ(*doubled, glm::quat(0, 0, 1, 0));
    const auto huge = rotation(glm::quat(3e38f, 3e38f, 0, 0)); // squares beyond a float
    ASSERT_TRUE(huge);
    EXPECT_NEAR(glm::length(*huge), 1.0f, 1e-6f);
    // Nothing to turn by: refused.
    EXPECT_FALSE(rotation(glm::quat(0, 0, 0, 0)));
    EXPECT_FALSE(rotation(glm::quat(1e-4f, 0, 0, 0)));
    EXPECT_FALSE(rotation(glm::quat(notANumber, 0, 0, 1)));
    EXPECT_FALSE(rotation(glm::quat(1, infinity, 0, 0)));
}

TEST(Received, SpeedsAreCutToTheirBoundDirectionKept)
{
    EXPECT_EQ(capped(glm::vec3(3, 4, 0), 10.0f), glm::vec3(3, 4, 0));
    const glm::vec3 cut = capped(glm::vec3(30, 40, 0), 10.0f);
    EXPECT_NEAR(cut.x, 6.0f, 1e-5f);
    EXPECT_NEAR(cut.y, 8.0f, 1e-5f);
    const glm::vec3 huge = capped(glm::vec3(3e38f, -3e38f, 3e38f), 10.0f); // no overflow on the way
    EXPECT_NEAR(glm::length(huge), 10.0f, 1e-3f);
    EXPECT_GT(huge.x, 0.0f);
    EXPECT_LT(huge.y, 0.0f);
}

namespace {

float justAbove(float v)
{
    return std::nextafter(v, infinity);
}

float justBelow(float v)
{
    return std::nextafter(v, -infinity);
}

} // namespace

TEST(Received, WithinHoldsBothEdgesOfTheBound)
{
    EXPECT_EQ(limit, 10000.0f);
    struct Edge {
        float inside, outside;
    };
    for (const Edge& e : {Edge{limit, justAbove(limit)}, Edge{-limit, justBelow(-limit)}}) {
        EXPECT_TRUE(within(e.inside, limit)) << e.inside;
        EXPECT_FALSE(within(e.outside, limit)) << e.outside;
        EXPECT_TRUE(within(glm::vec2(0, e.inside), limit)) << e.inside;
        EXPECT_FALSE(within(glm::vec2(e.outside, 0), limit)) << e.outside;
        EXPECT_TRUE(within(glm::vec3(0, 0, e.inside), limit)) << e.inside;
        EXPECT_FALSE(within(glm::vec3(0, 0, e.outside), limit)) << e.outside;
    }
}

TEST(Received, EveryFaceOfABoxHoldsItsEdgeAndNothingPastIt)
{
    const Box box{{-1, -2, -3}, {1, 2, 3}};
    struct Face {
        const char* name;
        glm::vec3 inside, outside;
    };
    const Face faces[] = {
        {"low x", {-1, 0, 0}, {justBelow(-1), 0, 0}}, {"high x", {1, 0, 0}, {justAbove(1), 0, 0}},
        {"low y", {0, -2, 0}, {0, justBelow(-2), 0}}, {"high y", {0, 2, 0}, {0, justAbove(2), 0}},
        {"low z", {0, 0, -3}, {0, 0, justBelow(-3)}}, {"high z", {0, 0, 3}, {0, 0, justAbove(3)}},
    };
    for (const Face& f : faces) {
        EXPECT_TRUE(box.contains(f.inside)) << f.name;
        EXPECT_FALSE(box.contains(f.outside)) << f.name;
    }
}

TEST(Received, ARotationIsNothingBelowAThousandthOfLengthAndUnitWithinRounding)
{
    // Long enough to turn by: a squared length of at least a millionth.
    EXPECT_TRUE(rotation(glm::quat(0.00101f, 0, 0, 0)));
    EXPECT_FALSE(rotation(glm::quat(0.00099f, 0, 0, 0)));
    EXPECT_TRUE(rotation(glm::quat(0, 0, -0.00101f, 0)));
    EXPECT_FALSE(rotation(glm::quat(0, 0, -0.00099f, 0)));
    // A unit rotation to within 1e-4 of its squared length arrives bit for
    // bit, on either side of 1; one a little further off is normalised.
    for (const float w : {1.000049f, 0.999951f})
        EXPECT_EQ(rotation(glm::quat(w, 0, 0, 0)), glm::quat(w, 0, 0, 0)) << w;
    for (const float w : {1.000051f, 0.999949f})
        EXPECT_EQ(rotation(glm::quat(w, 0, 0, 0)), glm::quat(1, 0, 0, 0)) << w;
}

TEST(Received, ASpeedOfExactlyTheBoundIsKeptAndALittleMoreIsCut)
{
    EXPECT_EQ(capped(glm::vec3(3, 4, 0), 5.0f), glm::vec3(3, 4, 0));
    EXPECT_EQ(capped(glm::vec3(0, -5, 0), 5.0f), glm::vec3(0, -5, 0));
    EXPECT_NEAR(capped(glm::vec3(0, -5.001f, 0), 5.0f).y, -5.0f, 1e-6f);
    const glm::vec3 slightlyOver = capped(glm::vec3(3, 4.001f, 0), 5.0f);
    EXPECT_LT(slightlyOver.y, 4.001f);
    EXPECT_NEAR(glm::length(slightlyOver), 5.0f, 1e-5f);
}
