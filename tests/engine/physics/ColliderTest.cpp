#include "engine/core/World.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/PolygonCollider.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>

using kit::CircleCollider;
using kit::PolygonCollider;
using kit::Transform;

namespace {

struct Shapes : ::testing::Test {
    kit::World world; // not started: colliders need only their indexes

    template <class C, class... Args>
    C* place(glm::vec2 at, Args... args)
    {
        auto e = world.createEntity();
        world.emplaceComponent<Transform>(e, glm::vec3(at, 0.0f));
        return world.emplaceComponent<C>(e, args...);
    }
};

} // namespace

TEST_F(Shapes, DoubleDispatchAnswersForTheColliderAsked)
{
    auto* circle = place<CircleCollider>({1.25f, 0.5f}, 0.5f);
    auto* square = place<PolygonCollider>({0, 0}, 0.0f, 0.0f, 1.0f, 1.0f);
    auto* other = place<CircleCollider>({2.0f, 0.5f}, 0.5f);
    // Null transforms are taken from the colliders' own entities.
    const glm::vec2 fromSquare = square->collide(circle, nullptr, nullptr);
    EXPECT_NEAR(fromSquare.x, -0.25f, 1e-6f);
    EXPECT_EQ(circle->collide(square, nullptr, nullptr), -fromSquare);
    EXPECT_EQ(circle->collideWithPolygon(square, nullptr, nullptr), -fromSquare);
    EXPECT_NEAR(circle->collide(other, nullptr, nullptr).x, -0.25f, 1e-6f);
    EXPECT_EQ(other->collide(circle, nullptr, nullptr), -circle->collide(other, nullptr, nullptr));
}

TEST_F(Shapes, RectangleConstructorScalesThenTurns)
{
    PolygonCollider turned(0.0f, 0.0f, 2.0f, 1.0f, 1.0f, 1.0f, std::numbers::pi_v<float> / 2);
    const glm::vec2 expected[] = {{0, 0}, {0, 2}, {-1, 2}, {-1, 0}}; // a quarter turn counter-clockwise
    ASSERT_EQ(turned.vertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(turned.vertices[i].x, expected[i].x, 1e-6f);
        EXPECT_NEAR(turned.vertices[i].y, expected[i].y, 1e-6f);
    }
    PolygonCollider scaled(1.0f, 1.0f, 1.0f, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(scaled.vertices[2], glm::vec2(4.0f, 6.0f));

    // Turning the entity afterwards does not turn its collider.
    auto* square = place<PolygonCollider>({0, 0}, 0.0f, 0.0f, 1.0f, 1.0f);
    auto* probe = place<CircleCollider>({1.25f, 0.5f}, 0.5f);
    world.getComponent<Transform>(square->entityId)->rotation =
        glm::angleAxis(std::numbers::pi_v<float> / 2, glm::vec3(0, 0, 1));
    EXPECT_NEAR(square->collide(probe, nullptr, nullptr).x, -0.25f, 1e-6f);
}

TEST_F(Shapes, MissingTransformsMeanNoOverlap)
{
    auto* circle = place<CircleCollider>({0, 0}, 1.0f);
    CircleCollider loose(1.0f); // in no world
    EXPECT_EQ(circle->collide(&loose, nullptr, nullptr), glm::vec2(0.0f));
    EXPECT_EQ(loose.collide(circle, nullptr, nullptr), glm::vec2(0.0f));
}

TEST_F(Shapes, SwappingAnyPairNegates)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<float> place01(-2.0f, 2.0f), size(0.2f, 2.0f), angle(0.0f, 6.3f);
    std::vector<kit::Collider*> colliders;
    for (int i = 0; i < 60; ++i) {
        const glm::vec2 at(place01(random), place01(random));
        if (i % 2)
            colliders.push_back(place<CircleCollider>(at, size(random)));
        else
            colliders.push_back(place<PolygonCollider>(at, -0.5f, -0.5f, size(random), size(random), 1.0f, 1.0f,
                                                       angle(random)));
    }
    for (auto* a : colliders)
        for (auto* b : colliders)
            if (a != b) {
                const glm::vec2 ab = a->collide(b, nullptr, nullptr);
                const glm::vec2 ba = b->collide(a, nullptr, nullptr);
                ASSERT_NEAR(ab.x, -ba.x, 1e-4f);
                ASSERT_NEAR(ab.y, -ba.y, 1e-4f);
            }
}
