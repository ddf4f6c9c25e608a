// What keeps bodies finite: records from other copies refused or cut to
// their bounds, steps and impulses that would overflow not taken, and masses
// and springs out of all proportion kept from spreading to their neighbours.
#include "PhysicsWorld.h"

#include "engine/network/stream/NetStream.h"
#include "engine/physics/Body.h"
#include "engine/physics/CollisionSignal.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Gravity.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/RigidBodySystem.h"
#include "engine/physics/SpringAttachment.h"
#include "support/VectorExpect.h"

#include <cmath>
#include <limits>
#include <numbers>

using test::PhysicsWorld;

using Bodies = PhysicsWorld;

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

bool finite(glm::vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

kit::NetStream bodyRecord(glm::vec3 velocity, float mass, int floats = 4)
{
    const float all[4] = {velocity.x, velocity.y, velocity.z, mass};
    kit::NetStream out;
    for (int i = 0; i < floats; ++i)
        out.write(all[i]);
    out.writing = false;
    return out;
}

} // namespace

TEST(BodyReplication, ARecordThatIsNotAllSaneChangesNothing)
{
    kit::Body body(glm::vec3(1, 2, 3), 2.0f);
    for (kit::NetStream broken :
         {bodyRecord(glm::vec3(notANumber, 0, 0), 1.0f), bodyRecord(glm::vec3(0, -infinity, 0), 1.0f),
          bodyRecord(glm::vec3(0), 0.0f), bodyRecord(glm::vec3(0), -1.0f), bodyRecord(glm::vec3(0), infinity),
          bodyRecord(glm::vec3(0), notANumber), bodyRecord(glm::vec3(0), 1e30f), bodyRecord(glm::vec3(0), 1.0f, 3)}) {
        body.serialize(broken);
        EXPECT_EQ(body.velocity, glm::vec3(1, 2, 3));
        EXPECT_EQ(body.mass, 2.0f);
    }
    kit::NetStream honest = bodyRecord(glm::vec3(-4, 5, 0), 10.0f);
    body.serialize(honest);
    EXPECT_EQ(body.velocity, glm::vec3(-4, 5, 0));
    EXPECT_EQ(body.mass, 10.0f);
}

TEST(BodyReplication, ASpeedBeyondTheLimitIsCutToIt)
{
    kit::Body body;
    body.receivedSpeedLimit = 100.0f;
    kit::NetStream fast = bodyRecord(glm::vec3(0, -3e38f, 0), 1.0f);
    body.serialize(fast);
    EXPECT_NEAR(body.velocity.y, -100.0f, 1e-3f);
    EXPECT_EQ(body.velocity.x, 0.0f);
}

TEST_F(Bodies, AStepThatWouldOverflowIsNotTaken)
{
    auto e = world->createEntity();
    auto* t = world->emplaceComponent<kit::Transform>(e, glm::vec3(3e38f, 0, 0));
    auto* body = world->emplaceComponent<kit::Body>(e, glm::vec3(3e38f, 0, 0), 1.0f);
    body->deltaVelocity = glm::vec3(3e38f, 0, 0);
    world->update(0.5f);
    EXPECT_EQ(t->position, glm::vec3(3e38f, 0, 0));
    EXPECT_EQ(body->velocity, glm::vec3(3e38f, 0, 0));
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
    // Without a Transform only the velocity could overflow: it keeps its value.
    auto* loose = world->emplaceComponent<kit::Body>(world->createEntity(), glm::vec3(0, -3e38f, 0), 1.0f);
    loose->deltaVelocity = glm::vec3(0, -3e38f, 0);
    world->update(0.5f);
    EXPECT_EQ(loose->velocity, glm::vec3(0, -3e38f, 0));
}

TEST_F(Bodies, MassesOutOfAllProportionStillShareThePush)
{
    // Two of an infinite mass each give way by half, as equal masses do.
    auto* a = circleBody({0, 0}, 1.0f, {}, infinity);
    auto* b = circleBody({1.5f, 0}, 1.0f, {}, infinity);
    // A body of no (or a negative) mass gives way entirely.
    auto* wallLike = circleBody({100, 0}, 1.0f, {}, 5.0f);
    auto* feather = circleBody({101.5f, 0}, 1.0f, {}, -1.0f);
    world->update(0.0f);
    test::expectVec(glm::vec2(transformOf(a)->position), {-0.25f, 0});
    test::expectVec(glm::vec2(transformOf(b)->position), {1.75f, 0});
    test::expectVec(glm::vec2(transformOf(wallLike)->position), {100, 0});
    test::expectVec(glm::vec2(transformOf(feather)->position), {102, 0});
}

// A pile of overlapping bodies around one of an odd mass, for some frames:
// whatever that mass, every other body stays finite.
TEST_F(Bodies, NoMassMakesItsNeighboursNonFinite)
{
    const float odd[] = {infinity, 3e38f, 0.0f, -1.0f, notANumber};
    std::vector<std::vector<kit::RigidBody*>> piles;
    std::vector<kit::RigidBody*> heavies;
    for (int pile = 0; pile < 5; ++pile) {
        const float x = 1000.0f * float(pile); // far apart: one pile per mass
        heavies.push_back(circleBody({x, 0}, 2.0f, {5, 0}, odd[pile], 0.5f));
        piles.emplace_back();
        for (int i = 0; i < 4; ++i)
            piles.back().push_back(
                circleBody({x + 1.0f + 0.5f * float(i), 0.5f * float(i % 2)}, 2.0f, {-5, 1}, 1.0f, 0.5f));
    }
    for (int frame = 0; frame < 20; ++frame)
        world->update(1.0f / 60.0f);
    for (int pile = 0; pile < 5; ++pile) {
        for (kit::RigidBody* b : piles[static_cast<std::size_t>(pile)]) {
            EXPECT_TRUE(finite(b->velocity)) << "next to a mass of " << odd[pile];
            EXPECT_TRUE(finite(transformOf(b)->position)) << "next to a mass of " << odd[pile];
        }
        EXPECT_TRUE(finite(transformOf(heavies[static_cast<std::size_t>(pile)])->position)) << odd[pile];
    }
}

TEST_F(Bodies, ABodyGoneNonFiniteLeavesTheOthersFinite)
{
    auto* broken = circleBody({0, 0}, 1.0f, {notANumber, 0});
    auto* a = circleBody({1.5f, 0}, 1.0f, {-1, 0});
    auto* b = circleBody({-1.5f, 0}, 1.0f, {1, 0});
    transformOf(broken)->position.y = notANumber; // and it is nowhere
    for (int frame = 0; frame < 10; ++frame)
        world->update(1.0f / 60.0f);
    for (kit::RigidBody* body : {a, b}) {
        EXPECT_TRUE(finite(body->velocity));
        EXPECT_TRUE(finite(transformOf(body)->position));
    }
}

TEST_F(Bodies, ASpringToSomethingOutOfAllProportionPullsNothingNonFinite)
{
    auto anchor = world->createEntity();
    world->emplaceComponent<kit::Transform>(anchor, glm::vec3(3e38f, -3e38f, 0));
    auto e = world->createEntity();
    auto* t = world->emplaceComponent<kit::Transform>(e, glm::vec3(-3e38f, 3e38f, 0));
    auto* body = world->emplaceComponent<kit::Body>(e, glm::vec3(0.0f), 1.0f);
    world->emplaceComponent<kit::SpringAttachment>(e, anchor, 9.0f, 6.0f);
    for (int frame = 0; frame < 5; ++frame)
        world->update(1.0f / 60.0f);
    EXPECT_TRUE(finite(body->velocity));
    EXPECT_TRUE(finite(t->position));
}

TEST_F(Bodies, ADampedSpringSettlesOnItsAnchor)
{
    auto anchor = world->createEntity();
    world->emplaceComponent<kit::Transform>(anchor, glm::vec3(10, 0, 0));
    auto e = world->createEntity();
    auto* t = world->emplaceComponent<kit::Transform>(e, glm::vec3(0.0f));
    auto* body = world->emplaceComponent<kit::Body>(e, glm::vec3(0.0f), 1.0f);
    world->emplaceComponent<kit::SpringAttachment>(e, anchor, 9.0f, 6.0f);
    for (int frame = 0; frame < 600; ++frame) // ten seconds
        world->update(1.0f / 60.0f);
    EXPECT_NEAR(t->position.x, 10.0f, 0.05f) << "a camera's spring comes to rest where it is pulled";
    EXPECT_LT(glm::length(body->velocity), 0.05f);
}

TEST_F(Bodies, ImpulsesThatWouldOverflowAreNotGiven)
{
    auto* a = circleBody({0, 0}, 1.0f, {3e38f, 0}, 1.0f, 1.0f);
    auto* b = circleBody({1.5f, 0}, 1.0f, {-3e38f, 0}, 1.0f, 1.0f);
    world->update(0.0f);
    EXPECT_TRUE(finite(a->velocity));
    EXPECT_TRUE(finite(b->velocity));
    EXPECT_TRUE(finite(transformOf(a)->position));
    EXPECT_TRUE(finite(transformOf(b)->position));
    ASSERT_EQ(a->contacts.size(), 1u); // still pushed apart and recorded
}

TEST(BodyReplication, TheMassBoundsAreInsideAndAFloatPastThemIsNot)
{
    struct Edge {
        float inside, outside;
    };
    const float lightest = 1e-3f, heaviest = 1e5f; // kit::Body::lightest and heaviest
    for (const Edge& e :
         {Edge{lightest, std::nextafter(lightest, 0.0f)}, Edge{heaviest, std::nextafter(heaviest, infinity)}}) {
        kit::Body body(glm::vec3(1, 2, 3), 2.0f);
        kit::NetStream taken = bodyRecord(glm::vec3(4, 5, 6), e.inside);
        body.serialize(taken);
        EXPECT_EQ(body.mass, e.inside);
        EXPECT_EQ(body.velocity, glm::vec3(4, 5, 6));
        kit::NetStream refused = bodyRecord(glm::vec3(7, 8, 9), e.outside);
        body.serialize(refused);
        EXPECT_EQ(body.mass, e.inside) << e.outside;
        EXPECT_EQ(body.velocity, glm::vec3(4, 5, 6)) << e.outside;
    }
}

TEST(BodyReplication, ARecordABitShortOfFourFloatsChangesNothing)
{
    kit::Body body(glm::vec3(1, 2, 3), 2.0f);
    kit::NetStream almost = bodyRecord(glm::vec3(4, 5, 6), 0.0f, 3);
    const std::uint8_t firstBitsOfTwo[4] = {0x40, 0x00, 0x00, 0x00};
    almost.writeBits(firstBitsOfTwo, 31);
    body.serialize(almost);
    EXPECT_EQ(body.velocity, glm::vec3(1, 2, 3));
}

TEST(BodyReplication, ASpeedOfExactlyTheLimitArrivesAsItIsAndALittleMoreIsCut)
{
    kit::Body body;
    body.receivedSpeedLimit = 100.0f;
    kit::NetStream atTheLimit = bodyRecord(glm::vec3(60, -80, 0), 1.0f);
    body.serialize(atTheLimit);
    EXPECT_EQ(body.velocity, glm::vec3(60, -80, 0));
    kit::NetStream past = bodyRecord(glm::vec3(0, 0, 100.01f), 1.0f);
    body.serialize(past);
    EXPECT_LT(body.velocity.z, 100.01f);
    EXPECT_NEAR(body.velocity.z, 100.0f, 1e-4f);
    // The engine's own limit, for entities the game says nothing about.
    kit::Body plain;
    kit::NetStream engineLimit = bodyRecord(glm::vec3(10000.0f, 0, 0), 1.0f);
    plain.serialize(engineLimit);
    EXPECT_EQ(plain.velocity.x, 10000.0f);
    kit::NetStream beyond = bodyRecord(glm::vec3(-10001.0f, 0, 0), 1.0f);
    plain.serialize(beyond);
    EXPECT_EQ(plain.velocity.x, -10000.0f);
}
