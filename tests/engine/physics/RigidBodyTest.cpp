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

TEST_F(Bodies, IntegrationMovesByTheAverageVelocity)
{
    auto e = world->createEntity();
    auto* t = world->emplaceComponent<kit::Transform>(e);
    auto* body = world->emplaceComponent<kit::Body>(e, glm::vec3(1, 0, 0), 2.0f);
    body->deltaVelocity = glm::vec3(0, 2, 4);
    world->update(0.5f);
    EXPECT_EQ(t->position, glm::vec3(0.5f, 0.5f, 1.0f));
    EXPECT_EQ(body->velocity, glm::vec3(1, 2, 4));
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
    EXPECT_EQ(body->networkTypeName(), "body");

    // Without a Transform the velocity still takes the change.
    auto* loose = world->emplaceComponent<kit::Body>(world->createEntity(), glm::vec3(0.0f), 1.0f);
    loose->deltaVelocity = glm::vec3(3, 0, 0);
    world->update(0.1f);
    EXPECT_EQ(loose->velocity, glm::vec3(3, 0, 0));
}

TEST_F(Bodies, EqualMassesShareThePush)
{
    auto* a = circleBody({0, 0}, 1.0f);
    auto* b = circleBody({1.5f, 0}, 1.0f);
    world->update(0.0f);
    test::expectVec(glm::vec2(transformOf(a)->position), {-0.25f, 0});
    test::expectVec(glm::vec2(transformOf(b)->position), {1.75f, 0});
    // Recorded on both sides, with opposite vectors, whoever resolved the pair.
    ASSERT_EQ(a->contacts.size(), 1u);
    ASSERT_EQ(b->contacts.size(), 1u);
    test::expectVec(a->contacts[0].separation, -b->contacts[0].separation);
    EXPECT_EQ(a->contacts[0].other.id, b->entityId);
    // Exactly one system was created, on the system entity.
    EXPECT_NE(world->getComponent(kit::systemEntity(), kit::tagId("rigidBodySystem")), nullptr);
    EXPECT_EQ(world->getComponentCollection(kit::tagId("rigidBodySystem"))->size(), 1u);
}

TEST_F(Bodies, StaticBodiesNeverMoveButAreRecorded)
{
    auto* floor = wall({-5, -1}, 10, 1); // top at y = 0
    auto* ball = circleBody({0, 0.5f}, 1.0f, {0, -4});
    world->update(0.0f);
    test::expectVec(glm::vec2(transformOf(floor)->position), {-5, -1});
    EXPECT_EQ(floor->velocity, glm::vec3(0.0f));
    test::expectVec(glm::vec2(transformOf(ball)->position), {0, 1.0f});
    test::expectVec(glm::vec2(ball->velocity), {0, 0}); // restitution 0: approach removed, not reversed
    ASSERT_EQ(floor->contacts.size(), 1u);
    EXPECT_EQ(floor->contacts[0].other.id, ball->entityId);
}

TEST_F(Bodies, FullRestitutionReversesTheApproach)
{
    wall({-5, -1}, 10, 1)->restitution = 1.0f;
    auto* ball = circleBody({0, 0.5f}, 1.0f, {1, -4}, 1.0f, 1.0f);
    world->update(0.0f);
    test::expectVec(glm::vec2(ball->velocity), {1, 4}); // k = 2
}

TEST_F(Bodies, RestitutionIsTheProductOfBothBodies)
{
    // A bouncy ball on a dead floor and a dead ball on a bouncy floor both stop.
    auto* deadFloor = wall({-5, -1}, 10, 1);
    auto* bouncy = circleBody({0, 0.5f}, 1.0f, {0, -4}, 1.0f, 1.0f);
    auto* bouncyFloor = wall({20, -1}, 10, 1);
    bouncyFloor->restitution = 1.0f;
    auto* dead = circleBody({25, 0.5f}, 1.0f, {0, -4}, 1.0f, 0.0f);
    // Half and half: k = 1.25, a quarter of the approach comes back.
    auto* halfFloor = wall({40, -1}, 10, 1);
    halfFloor->restitution = 0.5f;
    auto* half = circleBody({45, 0.5f}, 1.0f, {0, -4}, 1.0f, 0.5f);
    world->update(0.0f);
    test::expectVec(glm::vec2(bouncy->velocity), {0, 0});
    test::expectVec(glm::vec2(dead->velocity), {0, 0});
    test::expectVec(glm::vec2(half->velocity), {0, 1});
    EXPECT_EQ(deadFloor->velocity, glm::vec3(0.0f));
}

TEST_F(Bodies, BodiesMovingApartAreSeparatedWithoutAnImpulse)
{
    auto* a = circleBody({0, 0}, 1.0f, {-1, 0});
    auto* b = circleBody({1.5f, 0}, 1.0f, {1, 0});
    world->update(0.0f);
    EXPECT_EQ(a->velocity, glm::vec3(-1, 0, 0));
    EXPECT_EQ(b->velocity, glm::vec3(1, 0, 0));
    EXPECT_EQ(a->contacts.size(), 1u);
}

TEST_F(Bodies, HeavierBodiesGiveWay)
{
    auto* light = circleBody({0, 0}, 1.0f, {2, 0}, 1.0f);
    auto* heavy = circleBody({1.5f, 0}, 1.0f, {0, 0}, 3.0f);
    world->update(0.0f);
    // Resolved by the light body (lower serial): r = 1/4 of the push on the heavy one.
    test::expectVec(glm::vec2(transformOf(light)->position), {-0.375f, 0});
    test::expectVec(glm::vec2(transformOf(heavy)->position), {1.625f, 0});
    // Momentum is kept: 1 * 2 + 3 * 0.
    EXPECT_NEAR(light->velocity.x * 1.0f + heavy->velocity.x * 3.0f, 2.0f, 1e-5f);
    EXPECT_NEAR(light->velocity.x, heavy->velocity.x, 1e-5f); // restitution 0: they move together
}

TEST_F(Bodies, ExtraCollisionTagsSelectTheOtherBodies)
{
    auto e = world->createEntity();
    world->emplaceComponent<kit::Transform>(e);
    world->emplaceComponent<kit::CircleCollider>(e, 1.0f);
    auto* picky = world->emplaceComponent<kit::RigidBody>(e, false, glm::vec3(0.0f),
                                                          std::vector<kit::TagId>{kit::tagId("plane")}, 1.0f, 0.0f);
    auto* ghost = circleBody({1.5f, 0}, 1.0f); // not a plane: ignored by the picky body...
    world->update(0.0f);
    // ...but the ghost's own test finds the picky body and resolves the pair.
    EXPECT_EQ(picky->contacts.size(), 1u);
    EXPECT_EQ(ghost->contacts.size(), 1u);
}

TEST_F(Bodies, RemovedBodiesLoseTheirContacts)
{
    auto* a = circleBody({0, 0}, 1.0f);
    circleBody({1.5f, 0}, 1.0f);
    world->update(0.0f);
    ASSERT_FALSE(a->contacts.empty());
    std::unique_ptr<kit::Component> removed(world->removeComponent(a));
    EXPECT_TRUE(a->contacts.empty());
}

namespace {

// Records the order of the physics steps of one frame.
struct StepSpy : kit::Behavior {
    StepSpy(std::vector<std::string>& log, kit::RigidBody* body, float priority, std::string name)
        : log(log), body(body), name(std::move(name))
    {
        setUpdatePriority(priority);
    }
    void update(float) override
    {
        log.push_back(name + ":" + std::to_string(body->contacts.size()) + ":" +
                      std::to_string(body->deltaVelocity.y != 0.0f));
    }
    std::vector<std::string>& log;
    kit::RigidBody* body;
    std::string name;
};

} // namespace

TEST_F(Bodies, AFrameRunsForcesClearingIntegrationThenSignals)
{
    std::vector<std::string> log;
    auto* a = circleBody({0, 0}, 1.0f);
    auto* b = circleBody({1.5f, 0}, 1.0f);
    world->addComponent(a->getEntity(), new kit::Label("hasGravity"));
    world->emplaceComponent<kit::Gravity>(world->createEntity(), glm::vec3(0, -10, 0), kit::tagId("hasGravity"));
    world->update(0.0f);               // records a contact and leaves the pair touching
    transformOf(b)->position.x = 1.5f; // overlapping again for the next frame
    world->emplaceComponent<StepSpy>(world->createEntity(), log, a, 50.0f, "afterForces");
    world->emplaceComponent<StepSpy>(world->createEntity(), log, a, 100.5f, "afterClearing");
    world->emplaceComponent<StepSpy>(world->createEntity(), log, a, 102.0f, "afterBodies");
    world->update(0.1f);
    // Forces have added to deltaVelocity; the system cleared last frame's
    // contacts; the bodies applied the change and recorded this frame's.
    EXPECT_EQ(log, (std::vector<std::string>{"afterForces:1:1", "afterClearing:0:1", "afterBodies:1:0"}));
    EXPECT_NEAR(a->velocity.y, -1.0f, 1e-5f);
}

using Forces = PhysicsWorld;

TEST_F(Forces, ASpringStepsWithAFixedSixtiethOfASecond)
{
    auto anchor = world->createEntity();
    world->emplaceComponent<kit::Transform>(anchor, glm::vec3(10, 0, 0));
    auto e = world->createEntity();
    world->emplaceComponent<kit::Transform>(e);
    auto* body = world->emplaceComponent<kit::Body>(e, glm::vec3(0.0f), 2.0f);
    auto* spring = world->emplaceComponent<kit::SpringAttachment>(e, anchor, 3.0f, 0.0f);
    spring->update(0.5f); // the frame time does not matter
    const float first = body->deltaVelocity.x;
    EXPECT_NEAR(first, 3.0f * 10.0f / 60.0f / 2.0f, 1e-6f);
    body->deltaVelocity = glm::vec3(0.0f);
    spring->update(0.001f);
    EXPECT_EQ(body->deltaVelocity.x, first);

    world->destroyEntityNow(anchor); // a vanished target makes the spring idle
    body->deltaVelocity = glm::vec3(0.0f);
    spring->update(0.1f);
    EXPECT_EQ(body->deltaVelocity, glm::vec3(0.0f));
}

TEST_F(Forces, ConstantRotationTurnsInTheLocalFrame)
{
    auto e = world->createEntity();
    auto* t = world->emplaceComponent<kit::Transform>(e);
    world->emplaceComponent<kit::ConstantRotation>(e, glm::vec3(0, 0, 1), std::numbers::pi_v<float>);
    world->update(0.5f); // a quarter turn
    const glm::vec3 x = t->rotation * glm::vec3(1, 0, 0);
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(x.y, 1.0f, 1e-6f);
}

TEST_F(Forces, ALifeSpanEndsWhenTimeFallsBelowZero)
{
    auto e = world->createEntity();
    world->emplaceComponent<kit::Transform>(e);
    world->emplaceComponent<kit::LifeSpan>(e, 0.0f);
    world->update(0.0f); // remaining exactly 0: still alive
    EXPECT_TRUE(world->entities.contains(e.id));
    world->update(0.01f);
    EXPECT_FALSE(world->entities.contains(e.id));
}

using Signals = PhysicsWorld;

TEST_F(Signals, ContactsThenOverlapsReachTheCallback)
{
    auto* plane = circleBody({0, 0}, 1.0f);
    auto* other = circleBody({1.5f, 0}, 1.0f);
    world->addComponent(other->getEntity(), new kit::Label("plane"));
    // A bullet overlapping the plane, not a rigid body.
    auto bullet = world->createEntity();
    world->emplaceComponent<kit::Transform>(bullet, glm::vec3(-0.5f, 0, 0));
    world->emplaceComponent<kit::PolygonCollider>(bullet, -0.2f, -0.1f, 0.4f, 0.2f);
    world->addComponent(bullet, new kit::Label("plane"));

    std::vector<std::pair<kit::EntityID, glm::vec2>> seen;
    world->emplaceComponent<kit::CollisionSignal>(plane->getEntity(), kit::tagId("plane"),
                                                  [&](kit::Component* self, kit::EntityHandle e, glm::vec2 m) {
                                                      EXPECT_EQ(self->entityId, plane->entityId);
                                                      seen.emplace_back(e.id, m);
                                                      return false;
                                                  });
    world->update(0.0f);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, other->entityId); // the rigid contact, already resolved
    EXPECT_EQ(seen[1].first, bullet.id);       // the bullet, found by the query
}

TEST_F(Signals, ReturningTrueEndsTheFramesWork)
{
    auto* plane = circleBody({0, 0}, 1.0f);
    auto* a = circleBody({1.5f, 0}, 1.0f);
    auto* b = circleBody({-1.5f, 0}, 1.0f);
    for (auto* body : {a, b})
        world->addComponent(body->getEntity(), new kit::Label("plane"));
    int calls = 0;
    world->emplaceComponent<kit::CollisionSignal>(plane->getEntity(), kit::tagId("plane"),
                                                  [&](kit::Component*, kit::EntityHandle, glm::vec2) {
                                                      ++calls;
                                                      return true;
                                                  });
    world->update(0.0f);
    EXPECT_EQ(calls, 1);
}

TEST_F(Signals, ContactsMustCarryEveryFilterTag)
{
    auto* plane = circleBody({0, 0}, 1.0f);
    circleBody({1.5f, 0}, 1.0f); // a rigid contact, but not a "plane"
    int calls = 0;
    world->emplaceComponent<kit::CollisionSignal>(plane->getEntity(), kit::tagId("plane"),
                                                  [&](kit::Component*, kit::EntityHandle, glm::vec2) {
                                                      ++calls;
                                                      return false;
                                                  });
    world->update(0.0f);
    EXPECT_EQ(plane->contacts.size(), 1u);
    EXPECT_EQ(calls, 0);
}

TEST_F(Signals, ACallbackMayDestroyItsOwnEntityAtOnce)
{
    // A bullet over two planes: its first hit destroys it at once (as the
    // named function "destroyEntity" does); the second plane is never visited.
    for (float x : {-0.5f, 0.5f}) {
        auto target = world->createEntity();
        world->emplaceComponent<kit::Transform>(target, glm::vec3(x, 0.0f, 0.0f));
        world->emplaceComponent<kit::CircleCollider>(target, 1.0f);
        world->addComponent(target, new kit::Label("plane"));
    }
    auto bullet = world->createEntity();
    world->emplaceComponent<kit::Transform>(bullet, glm::vec3(0.0f));
    world->emplaceComponent<kit::CircleCollider>(bullet, 0.5f);
    int hits = 0;
    world->emplaceComponent<kit::CollisionSignal>(
        bullet, kit::tagId("plane"),
        [&hits, note = std::string(48, 'h')](kit::Component* self, kit::EntityHandle, glm::vec2) {
            self->world->destroyEntityNow(self->getEntity());
            hits += note.size() == 48 ? 1 : 0; // the callable outlives its component for the call
            return false;
        });
    world->update(0.0f);
    EXPECT_EQ(hits, 1);
    EXPECT_FALSE(world->entities.contains(bullet.id));
}

TEST_F(Signals, AContactCallbackMayDestroyItsOwnEntityAtOnce)
{
    const kit::EntityHandle plane = circleBody({0, 0}, 1.0f)->getEntity();
    for (float x : {1.5f, -1.5f})
        world->addComponent(circleBody({x, 0}, 1.0f)->getEntity(), new kit::Label("plane"));
    int hits = 0;
    world->emplaceComponent<kit::CollisionSignal>(plane, kit::tagId("plane"),
                                                  [&hits](kit::Component* self, kit::EntityHandle, glm::vec2) {
                                                      ++hits;
                                                      self->world->destroyEntityNow(self->getEntity());
                                                      return false;
                                                  });
    world->update(0.0f);
    EXPECT_EQ(hits, 1);
    EXPECT_FALSE(world->entities.contains(plane.id));
}

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
