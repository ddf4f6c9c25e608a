#include "engine/physics/Separation.h"
#include "support/VectorExpect.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace sep = kit::separation;
using Shape = std::vector<glm::vec2>;

namespace {

const Shape unitSquare{{0, 0}, {1, 0}, {1, 1}, {0, 1}};

} // namespace

TEST(Separation, CirclesPushApartAlongTheirCentres)
{
    test::expectVec(sep::circles({0, 0}, 1, {1.5f, 0}, 1), {-0.5f, 0});
    test::expectVec(sep::circles({1.5f, 0}, 1, {0, 0}, 1), {0.5f, 0});
    test::expectVec(sep::circles({3, 3}, 1, {3, 3}, 2), {0, 0}); // concentric: no answer
    test::expectVec(sep::circles({0, 0}, 1, {2, 0}, 1), {0, 0}); // touching
}

TEST(Separation, SquaresTakeTheSmallerPush)
{
    test::expectVec(sep::polygons(unitSquare, unitSquare, {0.9f, 0}), {-0.1f, 0});
    test::expectVec(sep::polygons(unitSquare, unitSquare, {-0.9f, 0}), {0.1f, 0});
    test::expectVec(sep::polygons(unitSquare, unitSquare, {1.0f, 0}), {0, 0}); // touching
    test::expectVec(sep::polygons(unitSquare, unitSquare, {0.2f, 0.7f}), {0, -0.3f});
    test::expectVec(sep::polygons(unitSquare, Shape{{0, 0}}, {0, 0}), {0, 0}); // fewer than two vertices
}

TEST(Separation, CoincidentSquaresBreakTheTieOnTheFirstAxis)
{
    // Coincident squares: every axis ties between two equal pushes; the first
    // axis wins and the tie goes to other.max - self.min, whichever way the
    // square is wound.
    const Shape square{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const Shape reversed{{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    test::expectVec(sep::polygons(square, square, {0, 0}), {2, 0});
    test::expectVec(sep::polygons(reversed, reversed, {0, 0}), {-2, 0});
}

TEST(Separation, PolygonAgainstCircle)
{
    // A circle of radius 0.5 overlapping the square's right edge by 0.25.
    test::expectVec(sep::polygonCircle(unitSquare, {1.25f, 0.5f}, 0.5f), {-0.25f, 0});
    // Near a corner the vertex axis decides.
    const glm::vec2 corner = sep::polygonCircle(unitSquare, {1.3f, 1.3f}, 0.5f);
    const float depth = 0.5f - std::sqrt(0.18f);
    test::expectVec(corner, glm::normalize(glm::vec2(-1, -1)) * depth);
    test::expectVec(sep::polygonCircle(unitSquare, {1.5f, 1.5f}, 0.5f), {0, 0});
}

TEST(Separation, ZeroLengthEdgesAreSkipped)
{
    const Shape repeated{{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 1}};
    const glm::vec2 a = sep::polygons(repeated, unitSquare, {0.9f, 0});
    const glm::vec2 b = sep::polygonCircle(repeated, {1.25f, 0.5f}, 0.5f);
    EXPECT_TRUE(std::isfinite(a.x) && std::isfinite(a.y));
    test::expectVec(a, {-0.1f, 0});
    test::expectVec(b, {-0.25f, 0});
    const Shape collapsed{{1, 1}, {1, 1}, {1, 1}};
    test::expectVec(sep::polygons(collapsed, unitSquare, {0, 0}), {0, 0});
}

namespace {

// A random convex polygon: points on an ellipse at sorted angles.
Shape randomConvex(std::mt19937& random)
{
    std::uniform_real_distribution<float> size(0.2f, 3.0f), angle(0.0f, 2.0f * std::numbers::pi_v<float>);
    std::uniform_int_distribution<int> count(3, 8);
    const float rx = size(random), ry = size(random), turn = angle(random);
    std::vector<float> angles(static_cast<std::size_t>(count(random)));
    for (float& a : angles)
        a = angle(random);
    std::sort(angles.begin(), angles.end());
    Shape shape;
    for (float a : angles) {
        const glm::vec2 p(rx * std::cos(a), ry * std::sin(a));
        shape.emplace_back(p.x * std::cos(turn) - p.y * std::sin(turn), p.x * std::sin(turn) + p.y * std::cos(turn));
    }
    return shape;
}

struct Range {
    float min, max;
};

Range project(const Shape& s, glm::vec2 axis, glm::vec2 shift)
{
    Range r{std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    for (glm::vec2 p : s) {
        const float v = glm::dot(p + shift, axis);
        r.min = std::min(r.min, v);
        r.max = std::max(r.max, v);
    }
    return r;
}

float overlapAfterMove(Range a, Range b)
{
    return std::min(a.max, b.max) - std::max(a.min, b.min);
}

} // namespace

TEST(SeparationProperties, RandomPolygonPairs)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<float> place(-3.0f, 3.0f);
    int overlapping = 0;
    for (int i = 0; i < 20000; ++i) {
        const Shape a = randomConvex(random), b = randomConvex(random);
        const glm::vec2 offset(place(random), place(random));
        const glm::vec2 m = sep::polygons(a, b, offset);
        ASSERT_TRUE(std::isfinite(m.x) && std::isfinite(m.y)) << "case " << i;
        // Swapped, the same axes come in another order and the projections
        // round differently: equal up to rounding.
        const glm::vec2 swapped = sep::polygons(b, a, -offset);
        ASSERT_NEAR(swapped.x, -m.x, 1e-4f) << "case " << i;
        ASSERT_NEAR(swapped.y, -m.y, 1e-4f) << "case " << i;
        if (m == glm::vec2(0.0f))
            continue;
        ++overlapping;
        // Moving a by m leaves the pair touching or apart on the chosen axis.
        const glm::vec2 axis = glm::normalize(m);
        EXPECT_LE(overlapAfterMove(project(a, axis, m), project(b, axis, offset)), 1e-4f) << "case " << i;
    }
    EXPECT_GT(overlapping, 2000); // the sample really exercises overlaps
}

TEST(SeparationProperties, RandomPolygonCirclePairs)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-3.0f, 3.0f), radius(0.1f, 2.0f);
    int overlapping = 0;
    for (int i = 0; i < 20000; ++i) {
        const Shape a = randomConvex(random);
        const glm::vec2 centre(place(random), place(random));
        const float r = radius(random);
        const glm::vec2 m = sep::polygonCircle(a, centre, r);
        ASSERT_TRUE(std::isfinite(m.x) && std::isfinite(m.y)) << "case " << i;
        if (m == glm::vec2(0.0f))
            continue;
        ++overlapping;
        const glm::vec2 axis = glm::normalize(m);
        const float c = glm::dot(centre, axis);
        EXPECT_LE(overlapAfterMove(project(a, axis, m), Range{c - r, c + r}), 1e-4f) << "case " << i;
    }
    EXPECT_GT(overlapping, 2000);
}

TEST(Separation, ShapesOutOfAllProportionGiveFiniteAnswers)
{
    auto finite = [](glm::vec2 v) { return std::isfinite(v.x) && std::isfinite(v.y); };
    EXPECT_TRUE(finite(sep::circles({0, 0}, 3e38f, {1, 0}, 3e38f))); // the radii's sum overflows
    EXPECT_TRUE(finite(sep::circles({-3e38f, 0}, 1, {3e38f, 0}, 1)));
    const Shape huge{{-3e38f, -3e38f}, {3e38f, -3e38f}, {3e38f, 3e38f}, {-3e38f, 3e38f}};
    EXPECT_TRUE(finite(sep::polygons(huge, unitSquare, {0.5f, 0.5f})));
    EXPECT_TRUE(finite(sep::polygonCircle(huge, {0, 0}, 3e38f)));
    const Shape point{{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}}; // no edge has a direction
    EXPECT_TRUE(finite(sep::polygons(point, unitSquare, {0, 0})));
    EXPECT_TRUE(finite(sep::polygons(unitSquare, point, {0, 0})));
    EXPECT_TRUE(finite(sep::polygonCircle(point, {0.5f, 0.5f}, 1.0f)));
}
