#include "game/flight/RollByPitch.h"
#include "game/powerups/SpeedPower.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/Gravity.h"
#include "engine/physics/PolygonCollider.h"
#include "support/Edges.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

struct Flight : test::GameWorld {
    void SetUp() override { test::GameWorld::SetUp(); }
    std::string printed;
};

float dragFactor(float perSecond, float dt)
{
    return static_cast<float>(std::pow(1.0 - double(perSecond), double(dt)));
}

} // namespace

TEST_F(Flight, AStickStraightBackTurnsCounterClockwiseAndBrakes)
{
    const float dt = 0.1f;
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.gamepad->stick = glm::vec2(-1.0f, 0.0f); // straight back from a nose along +X
    world->update(dt);
    // Full turn, counter-clockwise (negative), with a frame of angular drag.
    EXPECT_NEAR(plane.physics->angularVelocity, -12.0f * dt * dragFactor(0.995f, dt), 1e-5f);
    // Throttle -0.1 at rest: no side force, no drag on a velocity of nothing yet.
    EXPECT_NEAR(plane.body->velocity.x, -0.1f * 45.0f * dt, 1e-4f);
    EXPECT_NEAR(plane.body->velocity.y, 0.0f, 1e-4f);
}

TEST_F(Flight, FlyingTailFirstDoublesTheBrake)
{
    const float dt = 0.1f;
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.body->velocity = glm::vec3(-10.0f, 0.0f, 0.0f); // tail first
    plane.gamepad->stick = glm::vec2(-1.0f, 0.0f);
    world->update(dt);
    const float expected = -10.0f - 0.2f * 45.0f * dt + 10.0f * (1.0f - dragFactor(0.25f, dt));
    EXPECT_NEAR(plane.body->velocity.x, expected, 1e-3f);
}

TEST_F(Flight, TheSideForceIsNeverAboveItsLimit)
{
    const float dt = 0.05f;
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.body->velocity = glm::vec3(0.0f, 100.0f, 0.0f); // straight across the nose, fast
    world->update(dt);
    const float expected = 100.0f - 250.0f * dt - 100.0f * (1.0f - dragFactor(0.25f, dt));
    EXPECT_NEAR(plane.body->velocity.y, expected, 1e-2f);
}

TEST_F(Flight, TheSideForceSwingsTheFlightTowardTheNose)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.body->velocity = glm::vec3(20.0f, 10.0f, 0.0f);
    for (int i = 0; i < 30; ++i)
        world->update(1.0f / 60.0f);
    EXPECT_LT(std::abs(plane.body->velocity.y), 2.0f); // mostly along the nose now
    EXPECT_GT(plane.body->velocity.x, 10.0f);
}

TEST_F(Flight, AWeakStickDashesAlongTheNoseAndAStrongOneAlongTheStick)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.gamepad->stick = glm::vec2(0.2f, 0.2f); // 0.08 squared: too little to aim with
    plane.gamepad->held[0] = true;
    world->update(0.01f);
    EXPECT_NEAR(plane.physics->dashDirection.x, 1.0f, 1e-6f);
    EXPECT_EQ(plane.body->mass, 10.0f);
    EXPECT_GT(plane.body->velocity.x, 1.9f);
    EXPECT_NEAR(plane.body->velocity.y, 0.0f, 0.05f);

    auto other = PlaneRig::build(*world, glm::vec3(50, 0, 0));
    other.gamepad->stick = glm::vec2(0.0f, 1.0f);
    other.gamepad->held[0] = true;
    world->update(0.01f);
    EXPECT_NEAR(other.physics->dashDirection.y, 1.0f, 1e-6f);
    EXPECT_NEAR(other.nose().y, 1.0f, 1e-3f); // turned at once
    // Off along the stick (this frame's side force still works against the old nose).
    EXPECT_GT(other.body->velocity.y, 1.5f);
    EXPECT_NEAR(other.body->velocity.x, 0.0f, 1e-3f);
}

TEST_F(Flight, ADashLastsItsTimeThenTheMassAndSpeedGoBack)
{
    auto fast = PlaneRig::build(*world, glm::vec3(0));
    fast.body->velocity = glm::vec3(60.0f, 0.0f, 0.0f);
    auto slow = PlaneRig::build(*world, glm::vec3(0, 60, 0));
    for (auto* p : {&fast, &slow})
        p->gamepad->held[0] = true;
    const float dt = 0.0625f; // a sixteenth: four frames make the 0.25 s exactly
    world->update(dt);
    for (auto* p : {&fast, &slow})
        p->gamepad->held[0] = false;
    EXPECT_TRUE(fast.physics->isDashing);
    EXPECT_NE(world->getComponent(fast.entity.id, kit::tagId("dashEmitter")), nullptr);
    for (int i = 0; i < 3; ++i)
        world->update(dt); // 0.25 s: the dash ends in the last of these frames
    EXPECT_EQ(fast.body->mass, 1.0f);
    // Cut back to the speed it had (60 > 45), less this frame's drag; the one
    // that dashed from rest to about 60 is cut back to the thrust's 45.
    EXPECT_LE(glm::length(fast.body->velocity), 60.0f);
    EXPECT_GT(glm::length(fast.body->velocity), 55.0f);
    EXPECT_LE(glm::length(slow.body->velocity), 45.0f);
    EXPECT_GT(glm::length(slow.body->velocity), 40.0f);
    world->update(dt); // one frame later the trail stops
    EXPECT_FALSE(fast.physics->isDashing);
    EXPECT_EQ(world->getComponent(fast.entity.id, kit::tagId("dashEmitter")), nullptr);
    // No second dash before the cooldown, one after it.
    fast.gamepad->held[0] = true;
    world->update(dt);
    EXPECT_FALSE(fast.physics->isDashing);
    for (int i = 0; i < 40 && !fast.physics->isDashing; ++i)
        world->update(dt);
    EXPECT_TRUE(fast.physics->isDashing);
    EXPECT_NEAR(fast.physics->clock, 2.0f + dt, dt + 1e-4f); // the cooldown runs from the dash's start
}

TEST_F(Flight, ADashWithASpeedPowerRamsForFour)
{
    auto rammer = PlaneRig::build(*world, glm::vec3(0));
    auto victim = PlaneRig::build(*world, glm::vec3(3, 0, 0), glm::vec3(-1, 0, 0));
    world->addComponent(rammer.entity, new SpeedPower);
    rammer.gamepad->held[0] = true;
    world->update(0.01f); // the dash starts; the bodies touch and record it
    EXPECT_EQ(victim.health->currentHealth, 10.0f);
    world->update(0.01f); // the contact is rammed: 2 for the dash, 2 for the speed
    EXPECT_EQ(victim.health->currentHealth, 6.0f);
    EXPECT_EQ(victim.health->lastAttacker.id, rammer.entity.id);
}

TEST_F(Flight, TheSpeedPowerMultipliesTheThrust)
{
    auto plain = PlaneRig::build(*world, glm::vec3(0, 0, 0));
    auto fast = PlaneRig::build(*world, glm::vec3(0, 50, 0));
    auto* power = new SpeedPower;
    world->addComponent(fast.entity, power);
    for (PlaneRig* p : {&plain, &fast})
        p->gamepad->stick = glm::vec2(1.0f, 0.0f); // full ahead along the nose
    world->update(0.1f);
    ASSERT_GT(plain.body->velocity.x, 0.0f);
    EXPECT_NEAR(fast.body->velocity.x / plain.body->velocity.x, power->multiplier, 1e-3f);
    EXPECT_GT(power->multiplier, 1.0f);
}

TEST_F(Flight, TheSameVictimIsRammedOncePerSecond)
{
    auto rammer = PlaneRig::build(*world, glm::vec3(0));
    auto victim = PlaneRig::build(*world, glm::vec3(3, 0, 0), glm::vec3(-1, 0, 0));
    world->addComponent(rammer.entity, new SpeedPower);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 25; ++i) { // 2.5 s side by side
        rammer.transform->position = glm::vec3(0);
        victim.transform->position = glm::vec3(3, 0, 0);
        world->update(0.1f);
    }
    EXPECT_EQ(victim.health->currentHealth, 10.0f - 3 * 2.0f); // at 0.1, 1.1 and 2.1 s
    const std::string printed = testing::internal::GetCapturedStdout();
    std::size_t rams = 0;
    for (std::size_t at = printed.find("Ram!!!\n"); at != std::string::npos; at = printed.find("Ram!!!\n", at + 1))
        ++rams;
    EXPECT_EQ(rams, 3u);
}

TEST_F(Flight, AVictimIsRammedAgainOnTheSecondAndNotAMicrosecondBefore)
{
    auto rammer = PlaneRig::build(*world, glm::vec3(0));
    auto victim = PlaneRig::build(*world, glm::vec3(3, 0, 0), glm::vec3(-1, 0, 0));
    world->addComponent(rammer.entity, new SpeedPower);
    testing::internal::CaptureStdout();
    auto sideBySide = [&](float dt) {
        rammer.transform->position = glm::vec3(0);
        victim.transform->position = glm::vec3(3, 0, 0);
        rammer.body->velocity = victim.body->velocity = glm::vec3(0);
        world->update(dt);
    };
    sideBySide(0.5f); // touching from now on
    sideBySide(0.5f); // rammed at 1 s
    const float rammedAt = victim.health->currentHealth;
    sideBySide(1.0f - 1.0f / 1048576.0f); // a microsecond short of the second: once is enough
    EXPECT_EQ(victim.health->currentHealth, rammedAt);
    sideBySide(1.0f / 1048576.0f); // on it: again
    EXPECT_EQ(victim.health->currentHealth, rammedAt - 2.0f);
    (void)testing::internal::GetCapturedStdout();
}

TEST_F(Flight, AnotherCopysPlaneIsRammedHereWithoutDamage)
{
    auto rammer = PlaneRig::build(*world, glm::vec3(0));
    auto theirs = PlaneRig::build(*world, glm::vec3(3, 0, 0), glm::vec3(-1, 0, 0), kit::EntityID{0xFEED, 5});
    world->addComponent(rammer.entity, new SpeedPower);
    world->update(0.01f);
    world->update(0.01f);
    EXPECT_EQ(theirs.health->currentHealth, 10.0f);   // its own copy takes the damage
    EXPECT_EQ(rammer.physics->ramHistory.size(), 1u); // but the ram is shown here
}

TEST_F(Flight, PlanesStayUprightFlyingEitherWay)
{
    for (glm::vec3 nose : {glm::vec3(1, 0, 0), glm::vec3(-1, 0, 0), glm::vec3(0.8f, 0.6f, 0)}) {
        auto plane = PlaneRig::build(*world, glm::vec3(0), nose);
        // Rolled over on its back.
        plane.transform->rotation = plane.transform->rotation * glm::angleAxis(3.0f, glm::vec3(0, 0, 1));
        world->addComponent(plane.entity, new RollByPitch);
        world->update(0.0f);
        EXPECT_NEAR(glm::dot(plane.nose(), glm::normalize(nose)), 1.0f, 1e-4f);
        EXPECT_GT(plane.top().y, 0.7f) << nose.x << "," << nose.y;
        world->destroyEntityNow(plane.entity);
    }
    auto climbing = PlaneRig::build(*world, glm::vec3(0), glm::vec3(0, 1, 0));
    world->addComponent(climbing.entity, new RollByPitch);
    world->update(0.0f);
    EXPECT_NEAR(climbing.top().z, 1.0f, 1e-4f); // straight up: the top faces the camera
}

TEST_F(Flight, APropellerFollowsTheThrottle)
{
    const kit::EntityHandle propeller = world->createEntity();
    world->addComponent(propeller, new kit::Transform());
    auto* spin = new kit::ConstantRotation(glm::vec3(0, 0, 1), 16.0f);
    world->addComponent(propeller, spin);
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.physics->propeller = propeller;
    plane.gamepad->stick = glm::vec2(1.0f, 0.0f); // full throttle: 32
    world->update(0.25f);
    EXPECT_NEAR(spin->speed, 24.0f, 1e-4f);
    world->update(0.5f);
    EXPECT_NEAR(spin->speed, 32.0f, 1e-4f); // reached, not overshot
}

TEST_F(Flight, RemotePlanesFlyFromTheirReplicatedStick)
{
    auto mine = PlaneRig::build(*world, glm::vec3(0));
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 40, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    mine.gamepad->stick = glm::vec2(0.0f, 1.0f);
    world->update(0.1f);
    kit::NetStream state;
    mine.physics->serialize(state);
    state.writing = false;
    theirs.physics->serialize(state);
    EXPECT_EQ(theirs.physics->steer, glm::vec3(0, 1, 0));
    EXPECT_EQ(theirs.physics->angularVelocity, mine.physics->angularVelocity);
    world->update(0.1f);
    EXPECT_NE(theirs.physics->angularVelocity, 0.0f); // it turns as its pilot steers

    kit::NetStream broken;
    broken.write(std::numeric_limits<float>::quiet_NaN());
    broken.write(0.0f);
    broken.write(true);
    broken.write(glm::vec3(5, 0, 0));
    broken.writing = false;
    const float before = theirs.physics->angularVelocity;
    theirs.physics->serialize(broken);
    EXPECT_EQ(theirs.physics->angularVelocity, before); // a broken record changes nothing
}

TEST_F(Flight, AFullStickTurnsTheNoseAndTheFlightFollowsIt)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    world->addComponent(plane.entity, new RollByPitch);
    plane.body->velocity = glm::vec3(60, 0, 0);
    plane.gamepad->stick = glm::vec2(0, 1); // pull up from level flight
    auto degrees = [](glm::vec3 v) { return std::atan2(v.y, v.x) * 57.29578f; };
    for (int i = 0; i < 30; ++i)
        world->update(1.0f / 60.0f);
    EXPECT_GT(degrees(plane.nose()), 30.0f); // half a second: well into the climb
    EXPECT_LT(degrees(plane.nose()), 70.0f); // but not snapped round
    for (int i = 0; i < 60; ++i)
        world->update(1.0f / 60.0f);
    EXPECT_NEAR(degrees(plane.nose()), 90.0f, 5.0f); // settled on the stick, not past it
    // Flying, not sliding: the velocity points where the nose does.
    EXPECT_NEAR(degrees(plane.body->velocity), degrees(plane.nose()), 5.0f);
    EXPECT_GT(plane.body->velocity.y, 55.0f);
    EXPECT_GT(plane.top().z, 0.7f); // climbing straight up, its top faces the camera
}

TEST_F(Flight, AGentleDashFromRestKeepsWhatItGained)
{
    kit::settings::set("tuning.planePhysics.dashSpeed", "2");
    kit::SettingsEntryBase::refreshAll();
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    plane.gamepad->held[0] = true;
    for (int i = 0; i < 5; ++i)
        world->update(0.0625f);                         // through the dash's end
    EXPECT_GT(glm::length(plane.body->velocity), 1.0f); // under 45: not cut back
    EXPECT_LT(glm::length(plane.body->velocity), 3.0f);
    kit::settings::set("tuning.planePhysics.dashSpeed", "60");
    kit::SettingsEntryBase::refreshAll();
}

namespace {

// Another copy's record of a plane: turning, dash timer, the enabled bit,
// stick, speed before the dash, dash count.
kit::NetStream flightRecord(float turning, float dash, glm::vec3 stick, float speedBefore, std::uint32_t count)
{
    kit::NetStream record;
    record.write(turning);
    record.write(dash);
    record.write(true);
    record.write(stick);
    record.write(speedBefore);
    record.write(count);
    record.writing = false;
    return record;
}

} // namespace

TEST_F(Flight, EachBoundOnAFlightRecordTakesItsEdgeAndRefusesJustPastIt)
{
    // Turning at most 1000 rad/s, a dash timer of at most 60 s, a speed
    // before the dash of at most the engine's limit: each either way.
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 40, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    PlanePhysics& flight = *theirs.physics;
    struct Edge {
        const char* field;
        float bound;
        float PlanePhysics::*applied;
    };
    const float fastestTurn = 1000.0f, longestDash = 60.0f, fastest = 10000.0f;
    const Edge edges[] = {
        {"angularVelocity", fastestTurn, &PlanePhysics::angularVelocity},
        {"angularVelocity", -fastestTurn, &PlanePhysics::angularVelocity},
        {"dashTimer", longestDash, &PlanePhysics::dashTimer},
        {"dashTimer", -longestDash, &PlanePhysics::dashTimer},
        {"speedBeforeDash", fastest, &PlanePhysics::speedBeforeDash},
        {"speedBeforeDash", -fastest, &PlanePhysics::speedBeforeDash},
    };
    std::uint32_t count = 100;
    for (const Edge& e : edges) {
        auto record = [&](float value, glm::vec3 stick) {
            const bool turning = e.applied == &PlanePhysics::angularVelocity;
            const bool dash = e.applied == &PlanePhysics::dashTimer;
            const bool speed = e.applied == &PlanePhysics::speedBeforeDash;
            return flightRecord(turning ? value : 1.0f, dash ? value : 0.1f, stick, speed ? value : 50.0f, ++count);
        };
        kit::NetStream taken = record(e.bound, glm::vec3(0.5f, 0, 0));
        flight.serialize(taken);
        // (a speed below nothing is nothing)
        EXPECT_EQ(flight.*e.applied, e.applied == &PlanePhysics::speedBeforeDash ? std::max(e.bound, 0.0f) : e.bound)
            << e.field << " " << e.bound;
        EXPECT_EQ(flight.steer, glm::vec3(0.5f, 0, 0)) << e.field << " " << e.bound;
        const float kept = flight.*e.applied;
        kit::NetStream refused = record(test::justPast(e.bound), glm::vec3(0.25f, 0, 0));
        flight.serialize(refused);
        EXPECT_EQ(flight.*e.applied, kept) << e.field << " just past " << e.bound;
        EXPECT_EQ(flight.steer, glm::vec3(0.5f, 0, 0)) << e.field << " just past " << e.bound;
        EXPECT_EQ(flight.dashCount, count - 1) << e.field << " just past " << e.bound;
    }
}

TEST_F(Flight, AStickOfUnitLengthArrivesAsItIsAndALongerOneIsCutToIt)
{
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 40, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    kit::NetStream unit = flightRecord(0.0f, 0.0f, glm::vec3(0.6f, -0.8f, 0), 0.0f, 0);
    theirs.physics->serialize(unit);
    EXPECT_EQ(theirs.physics->steer, glm::vec3(0.6f, -0.8f, 0));
    kit::NetStream longer = flightRecord(0.0f, 0.0f, glm::vec3(0, 1.001f, 0), 0.0f, 0);
    theirs.physics->serialize(longer);
    EXPECT_EQ(theirs.physics->steer, glm::vec3(0, 1, 0));
    // A bit short of the stick: not a record.
    kit::NetStream almost;
    almost.write(5.0f);
    almost.write(0.0f);
    almost.write(true);
    almost.write(glm::vec2(0.5f, 0.0f));
    const std::uint8_t zeros[4] = {};
    almost.writeBits(zeros, 31);
    almost.writing = false;
    theirs.physics->serialize(almost);
    EXPECT_EQ(theirs.physics->angularVelocity, 0.0f);
    EXPECT_EQ(theirs.physics->steer, glm::vec3(0, 1, 0));
    // Not a number anywhere in the stick: the whole record is refused.
    kit::NetStream broken = flightRecord(5.0f, 0.0f, glm::vec3(0, 0, std::numeric_limits<float>::quiet_NaN()), 0.0f, 0);
    theirs.physics->serialize(broken);
    EXPECT_EQ(theirs.physics->steer, glm::vec3(0, 1, 0));
    EXPECT_EQ(theirs.physics->angularVelocity, 0.0f);
}

TEST_F(Flight, ADashIsToldTheOtherCopiesAtTheNextTick)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    world->update(0.01f);
    network->stateSoon = false;
    world->update(0.01f);
    EXPECT_FALSE(network->stateSoon) << "flying on is nothing to hurry";
    plane.gamepad->held[0] = true;
    world->update(0.01f);
    EXPECT_TRUE(network->stateSoon);
    // Without the glide, state keeps its turn.
    kit::settings::set("tuning.network.glide", "0");
    kit::SettingsEntryBase::refreshAll();
    auto other = PlaneRig::build(*world, glm::vec3(0, 50, 0));
    network->stateSoon = false;
    other.gamepad->held[0] = true;
    world->update(0.01f);
    kit::settings::set("tuning.network.glide", "1");
    kit::SettingsEntryBase::refreshAll();
    EXPECT_TRUE(other.physics->isDashing);
    EXPECT_FALSE(network->stateSoon);
}

namespace {

struct Carried {
    glm::vec3 position;
    glm::quat rotation;
    glm::vec3 velocity;
};

Carried carry(PlanePhysics& flight, Carried from, float seconds)
{
    flight.carryForward(from.position, from.rotation, from.velocity, seconds);
    return from;
}

} // namespace

TEST_F(Flight, ARecordIsCarriedForwardByThePlanesOwnFlightInFrames)
{
    auto theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    theirs.physics->steer = glm::vec3(0, 1, 0); // its pilot pulls up
    const Carried record{glm::vec3(0.0f), theirs.transform->rotation, glm::vec3(40, 0, 0)};
    const float turning = theirs.physics->angularVelocity;
    const Carried once = carry(*theirs.physics, record, 0.1f);
    const float turned = theirs.physics->angularVelocity;
    // It turns up and climbs as it flies on, not in a straight line.
    EXPECT_GT(once.velocity.y, 1.0f);
    EXPECT_GT(glm::angle(once.rotation * glm::inverse(record.rotation)), 0.01f);
    EXPECT_NE(turned, turning) << "the plane's turning goes on from where the carry left it";
    // In frames of a sixtieth: a tenth is two twentieths.
    theirs.physics->angularVelocity = turning;
    const Carried twice = carry(*theirs.physics, carry(*theirs.physics, record, 0.05f), 0.05f);
    EXPECT_NEAR(glm::length(twice.position - once.position), 0.0f, 1e-3f);
    EXPECT_NEAR(glm::length(twice.velocity - once.velocity), 0.0f, 1e-3f);
    EXPECT_NEAR(theirs.physics->angularVelocity, turned, 1e-4f);
    theirs.physics->angularVelocity = turning;
    EXPECT_GT(carry(*theirs.physics, record, 0.3f).position.y, 0.5f);
    // Nothing to carry for no time.
    const Carried none = carry(*theirs.physics, record, 0.0f);
    EXPECT_EQ(none.position, record.position);
    EXPECT_EQ(none.velocity, record.velocity);
}

TEST_F(Flight, ACarriedPlaneBouncesOffTheWallsNotOffOtherPlanes)
{
    // A wall from x = 20 to 30 in the plane's way, and another plane between.
    const kit::EntityHandle wall = world->createEntity();
    world->addComponent(wall, new kit::Transform(glm::vec3(0.0f)));
    world->addComponent(wall, new kit::RigidBody(true, glm::vec3(0.0f), {}, 1.0f, 1.0f));
    world->addComponent(wall, new kit::PolygonCollider(20.0f, -50.0f, 10.0f, 100.0f));
    PlaneRig::build(*world, glm::vec3(10, 0, 0));
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 0, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    const Carried record{glm::vec3(0.0f), theirs.transform->rotation, glm::vec3(100, 0, 0)};
    const Carried bounced = carry(*theirs.physics, record, 0.3f);
    // Through the plane, not through the wall: back off it (its collider is
    // 2 across the middle), flying away at about half its speed.
    EXPECT_LE(bounced.position.x, 18.0f + 1e-3f);
    EXPECT_GT(bounced.position.x, 10.0f);
    EXPECT_LT(bounced.velocity.x, -20.0f);
    EXPECT_GT(bounced.velocity.x, -70.0f);
    // Short of the wall nothing is met: as far as flight takes it.
    const Carried nearer = carry(*theirs.physics, record, 0.1f);
    EXPECT_GT(nearer.position.x, 9.0f);
    EXPECT_GT(nearer.velocity.x, 0.0f);
    // Only the carried pose moved: the plane is where it was.
    EXPECT_EQ(theirs.transform->position, glm::vec3(0.0f));
}

TEST_F(Flight, ACarriedWreckOnlyFallsAndACarriedDashEndsOnTime)
{
    world->addComponent(world->createEntity(), new kit::Gravity(glm::vec3(0, -30, 0), kit::tagId("hasGravity")));
    auto wreck = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 9});
    world->addComponent(wreck.entity, new kit::Label("hasGravity"));
    wreck.physics->enabled = false;
    wreck.physics->steer = glm::vec3(0, 1, 0);
    const Carried fell = carry(*wreck.physics, {glm::vec3(0.0f), wreck.transform->rotation, glm::vec3(10, 0, 0)}, 0.1f);
    EXPECT_NEAR(fell.velocity.x, 10.0f, 1e-4f);
    EXPECT_NEAR(fell.velocity.y, -3.0f, 1e-3f);
    EXPECT_NEAR(fell.position.y, -0.15f, 1e-3f);
    EXPECT_EQ(fell.rotation, wreck.transform->rotation);

    // A dash with 0.05 s left, carried 0.1 s: it ended on the way, its speed
    // cut back, and ends here at the next update.
    auto dasher = PlaneRig::build(*world, glm::vec3(0, 50, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 10});
    dasher.physics->dashTimer = 0.05f;
    dasher.physics->speedBeforeDash = 45.0f;
    const Carried dashed = carry(*dasher.physics, {glm::vec3(0, 50, 0), dasher.transform->rotation, {105, 0, 0}}, 0.1f);
    EXPECT_LT(glm::length(dashed.velocity), 50.0f);
    EXPECT_FLOAT_EQ(dasher.physics->dashTimer, PlanePhysics::dashEnding);
    // One with time left keeps the rest of it.
    dasher.physics->dashTimer = 0.2f;
    carry(*dasher.physics, {glm::vec3(0, 50, 0), dasher.transform->rotation, {105, 0, 0}}, 0.05f);
    EXPECT_NEAR(dasher.physics->dashTimer, 0.15f, 1e-5f);
    // None: none.
    dasher.physics->dashTimer = 0.0f;
    carry(*dasher.physics, {glm::vec3(0, 50, 0), dasher.transform->rotation, {45, 0, 0}}, 0.05f);
    EXPECT_FLOAT_EQ(dasher.physics->dashTimer, 0.0f);
}
