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

TEST_F(Bodies, APoseCarriedForwardMeetsOnlyTheStaticBodies)
{
    auto* floor = wall({-5, -1}, 10, 1); // top at y = 0
    floor->restitution = 1.0f;
    circleBody({30, 0}, 1.0f); // a moving body where the pose will be: left out
    auto* ball = circleBody({0, 10}, 1.0f, {0, 0}, 1.0f, 0.5f);
    const glm::vec3 ballAt = transformOf(ball)->position;

    // Sunk half a unit into the floor, falling at 4 and drifting at 1: out
    // by the push, the fall reversed to half (k = 1.5) as its update would.
    kit::Transform pose(glm::vec3(0, 0.5f, 0));
    glm::vec3 velocity(1, -4, 0);
    EXPECT_TRUE(ball->meetStatic(pose, velocity));
    test::expectVec(glm::vec2(pose.position), {0, 1.0f});
    test::expectVec(glm::vec2(velocity), {1, 2});

    // Already leaving the floor: pushed out, its motion kept.
    pose.position = glm::vec3(2, 0.75f, 0);
    velocity = glm::vec3(0, 3, 0);
    EXPECT_TRUE(ball->meetStatic(pose, velocity));
    test::expectVec(glm::vec2(pose.position), {2, 1.0f});
    test::expectVec(glm::vec2(velocity), {0, 3});

    // Clear of the floor, or inside the moving body only: nothing met.
    for (const glm::vec3 at : {glm::vec3(0, 3, 0), glm::vec3(30.5f, 0, 0)}) {
        pose.position = at;
        velocity = glm::vec3(0, -4, 0);
        EXPECT_FALSE(ball->meetStatic(pose, velocity));
        EXPECT_EQ(pose.position, at);
        EXPECT_EQ(velocity, glm::vec3(0, -4, 0));
    }
    // Nothing of it touched the world's bodies, nor was recorded as a contact.
    EXPECT_EQ(transformOf(ball)->position, ballAt);
    EXPECT_TRUE(ball->contacts.empty());
    EXPECT_TRUE(floor->contacts.empty());
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
