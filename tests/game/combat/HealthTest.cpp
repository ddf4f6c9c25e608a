// A plane's health: damage, the smoke and fire it shows, invincibility, the
// health records other copies send, the respawn after a death and the ring
// that shows how much is left.
#include "game/combat/Health.h"
#include "game/combat/HealthBar.h"
#include "game/combat/Score.h"
#include "game/combat/ScoreCounter.h"
#include "game/combat/ScoreFunctions.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/SmokeParticleEmitter.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerSpawnComp.h"

#include "PlanesFixture.h"
#include "engine/core/Label.h"
#include "engine/network/NetworkTap.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"
#include "engine/render/Text.h"
#include "support/Edges.h"
#include "support/GameWorld.h"
#include "support/ReplayPackets.h"

#include <glm/gtc/quaternion.hpp>

#include <limits>
#include <sstream>

using namespace skyscuffle;
using test::Planes;

namespace {

// Stands in for the plane's flight behaviour, which a wreck switches off.
class FakeFlight : public kit::Behavior {
public:
    FakeFlight() { addTag(kit::tagId("planePhysics")); }
};

} // namespace

TEST_F(Planes, DamageBelowHalfSmokesAndExactlyHalfDoesNot)
{
    const auto a = plane();
    health(a).damage(a, 5.0f); // exactly half: still healthy
    EXPECT_EQ(health(a).state, Health::healthy);
    EXPECT_FALSE(has(a, kit::typeId<SmokeParticleEmitter>()));
    health(a).currentHealth = 5.5f;
    health(a).damage(a, 1.0f); // 4.5 < 5
    EXPECT_EQ(health(a).state, Health::damaged);
    EXPECT_TRUE(has(a, kit::typeId<SmokeParticleEmitter>()));
    EXPECT_FALSE(has(a, kit::typeId<FireParticleEmitter>()));
}

TEST_F(Planes, SmokeThickensAndDarkensAsHealthFalls)
{
    const auto a = plane();
    const auto attacker = plane();
    health(a).damage(attacker, 6.0f); // 4: x = |4 / 5 - 1| = 0.2
    auto* smoke = world->getComponent<SmokeParticleEmitter>(a.id);
    ASSERT_NE(smoke, nullptr);
    EXPECT_NEAR(smoke->interval, 1.0f / 2.8f, 1e-5f);
    EXPECT_NEAR(smoke->tintLevel, 0.86f, 1e-5f);
    EXPECT_NEAR(smoke->startOpacity, 0.2f, 1e-5f);
    health(a).damage(attacker, 3.0f);                                  // 1: x = 0.8
    EXPECT_EQ(world->getComponent<SmokeParticleEmitter>(a.id), smoke); // the same emitter, tuned again
    EXPECT_NEAR(smoke->interval, 1.0f / 8.2f, 1e-5f);
    EXPECT_NEAR(smoke->tintLevel, 0.44f, 1e-5f);
    EXPECT_NEAR(smoke->startOpacity, 0.8f, 1e-5f);
}

TEST_F(Planes, InvinciblePlanesTakeNoDamage)
{
    const auto a = plane();
    const auto attacker = plane();
    auto* shield = new kit::Label("invincibilityPower");
    world->addComponent(a, shield);
    health(a).damage(attacker, 20.0f);
    EXPECT_EQ(health(a).currentHealth, 10.0f);
    EXPECT_TRUE(health(a).lastAttacker.empty());
    delete world->removeComponent(shield);
    health(a).damage(attacker, 1.0f);
    EXPECT_EQ(health(a).currentHealth, 9.0f);
}

TEST_F(Planes, ReplicatedStateComesThroughTheStateChange)
{
    const auto mine = plane();
    const auto theirs = plane(0xFEED);
    health(mine).damage(mine, 10.0f);
    kit::NetStream state;
    health(mine).serialize(state);
    state.writing = false;
    health(theirs).serialize(state);
    EXPECT_EQ(health(theirs).currentHealth, 0.0f);
    EXPECT_TRUE(health(theirs).isDead());
    EXPECT_TRUE(has(theirs, kit::typeId<FireParticleEmitter>())); // burns on this copy too

    health(mine).restore();
    kit::NetStream healed;
    health(mine).serialize(healed);
    healed.writing = false;
    health(theirs).serialize(healed);
    EXPECT_EQ(health(theirs).state, Health::healthy);
    EXPECT_FALSE(has(theirs, kit::typeId<FireParticleEmitter>()));
    EXPECT_FALSE(has(theirs, kit::typeId<SmokeParticleEmitter>()));
}

TEST_F(Planes, AnotherCopysWoundedPlaneSmokesAsThickAsOnItsOwn)
{
    const auto mine = plane();
    const auto theirs = plane(0xFEED);
    auto send = [&] {
        kit::NetStream state;
        health(mine).serialize(state);
        state.writing = false;
        health(theirs).serialize(state);
    };
    for (const float wound : {6.0f, 3.0f}) { // down to 4, then to 1: thicker each time
        health(mine).damage(mine, wound);
        send();
        const auto* here = world->getComponent<SmokeParticleEmitter>(mine.id);
        const auto* there = world->getComponent<SmokeParticleEmitter>(theirs.id);
        ASSERT_NE(here, nullptr);
        ASSERT_NE(there, nullptr);
        EXPECT_FLOAT_EQ(there->interval, here->interval) << "at " << health(mine).currentHealth;
        EXPECT_FLOAT_EQ(there->tintLevel, here->tintLevel);
        EXPECT_FLOAT_EQ(there->startOpacity, here->startOpacity);
    }
}

TEST_F(Planes, ABrokenRecordFromAPeerChangesNothing)
{
    const auto theirs = plane(0xFEED);
    kit::NetStream broken;
    float health = std::numeric_limits<float>::quiet_NaN();
    std::int32_t state = Health::dead;
    broken.serialize(health);
    broken.serialize(state);
    broken.writing = false;
    this->health(theirs).serialize(broken);
    EXPECT_EQ(this->health(theirs).currentHealth, 10.0f);
    EXPECT_FALSE(this->health(theirs).isDead());
    EXPECT_FALSE(has(theirs, kit::typeId<FireParticleEmitter>()));
}

TEST_F(Planes, AnAbsurdHealthFromAPeerSmokesNoThickerThanNone)
{
    const auto theirs = plane(0xFEED);
    auto receive = [&](float health, std::int32_t state) {
        kit::NetStream record;
        record.serialize(health);
        record.serialize(state);
        record.writing = false;
        this->health(theirs).serialize(record);
    };
    // Beyond the maximum, or a state that does not exist: nothing changes.
    receive(2.5e12f, Health::damaged);
    receive(4.0f, 7);
    EXPECT_EQ(this->health(theirs).currentHealth, 10.0f);
    EXPECT_EQ(this->health(theirs).state, Health::healthy);
    EXPECT_EQ(world->getComponent<SmokeParticleEmitter>(theirs.id), nullptr);
    // The lowest a record may say, far below nothing.
    receive(-1000.0f, Health::damaged);
    const auto* smoke = world->getComponent<SmokeParticleEmitter>(theirs.id);
    ASSERT_NE(smoke, nullptr);
    EXPECT_NEAR(smoke->interval, 0.1f, 1e-6f); // ten a second, as at no health at all, not hundreds
}

TEST_F(Planes, EachBoundOnAHealthRecordTakesItsEdgeAndRefusesJustPastIt)
{
    // Health from far below nothing (-1000) to the maximum, a state from
    // healthy to dead: each edge taken, the next value past it refused.
    const auto theirs = plane(0xFEED);
    Health& h = health(theirs);
    auto receive = [&](float value, std::int32_t state) {
        kit::NetStream record;
        record.write(value);
        record.write(state);
        record.writing = false;
        h.serialize(record);
    };
    struct Edge {
        const char* bound;
        float health;
        std::int32_t state, stateOutside;
        float healthOutside;
    };
    const Edge edges[] = {
        {"the maximum", 10.0f, Health::healthy, Health::healthy, test::justPast(10.0f)},
        {"far below nothing", -1000.0f, Health::damaged, Health::damaged, test::justPast(-1000.0f)},
        {"the first state", 3.0f, Health::healthy, Health::healthy - 1, 3.0f},
        {"the last state", 2.0f, Health::dead, Health::dead + 1, 2.0f},
    };
    float marker = 9.0f;
    for (const Edge& e : edges) {
        receive(marker, Health::healthy);
        receive(e.health, e.state);
        EXPECT_EQ(h.currentHealth, e.health) << e.bound;
        EXPECT_EQ(h.state, e.state) << e.bound;
        receive(e.healthOutside == e.health ? e.health - 1.0f : e.healthOutside, e.stateOutside);
        EXPECT_EQ(h.currentHealth, e.health) << e.bound << ": just past it";
        EXPECT_EQ(h.state, e.state) << e.bound << ": just past it";
        marker -= 1.0f;
    }
    // Sixty-four bits or nothing: one less is not a record.
    kit::NetStream shortRecord;
    shortRecord.write(5.0f);
    const std::uint8_t zeros[4] = {};
    shortRecord.writeBits(zeros, 31);
    shortRecord.writing = false;
    receive(7.0f, Health::healthy);
    h.serialize(shortRecord);
    EXPECT_EQ(h.currentHealth, 7.0f);
}

TEST_F(Planes, RespawnTwoSecondsAfterDeathAtTheSpawnPointFacingRight)
{
    const auto a = plane();
    world->addComponent(a, new FakeFlight);
    world->addComponent(a, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
    auto* power = new kit::Label("power");
    world->addComponent(a, power);
    world->update(0.1f);
    health(a).damage(a, 20.0f);
    world->update(0.1f); // the frame that sees the death starts the count
    EXPECT_TRUE(world->getComponent(a.id, kit::tagId("planePhysics"))->enabled);
    world->update(0.1f); // the wreck's first frame: flight off, power-up gone
    EXPECT_FALSE(world->getComponent(a.id, kit::tagId("planePhysics"))->enabled);
    EXPECT_FALSE(has(a, kit::tagId("power")));
    for (int i = 0; i < 18; ++i)
        world->update(0.1f);
    EXPECT_TRUE(health(a).isDead()); // 1.9 s of counting
    world->update(0.1f);
    EXPECT_FALSE(health(a).isDead());
    EXPECT_EQ(health(a).currentHealth, 10.0f);
    const auto* t = world->getComponent<kit::Transform>(a.id);
    EXPECT_EQ(t->position, glm::vec3(0.0f));
    const glm::vec3 nose = t->rotation * glm::vec3(0, 0, 1);
    EXPECT_NEAR(nose.x, 1.0f, 1e-5f);
    EXPECT_NEAR(glm::length((t->rotation * glm::vec3(0, 1, 0)) - glm::vec3(0, 1, 0)), 0.0f, 1e-5f);
    EXPECT_EQ(world->getComponent<kit::Body>(a.id)->velocity, glm::vec3(0.0f));
    EXPECT_TRUE(world->getComponent(a.id, kit::tagId("planePhysics"))->enabled);
    EXPECT_EQ(calls.back(), "invincible " + std::to_string(a.id.serial));
}

TEST_F(Planes, AWreckRespawnsOnItsDelayToTheFloatAndNotBefore)
{
    for (const bool whole : {false, true}) {
        const auto a = plane();
        world->addComponent(a, new FakeFlight);
        world->addComponent(a, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
        health(a).damage(a, 20.0f);
        world->update(0.1f); // the frame that sees the death starts the count
        world->update(whole ? 2.0f : test::justShort(2.0f));
        EXPECT_EQ(health(a).isDead(), !whole) << (whole ? "on the delay" : "a float short of it");
        world->destroyEntityNow(a);
    }
}

TEST_F(Planes, AnotherCopysWreckIsLeftToItsOwnCopy)
{
    const auto theirs = plane(0xFEED);
    world->addComponent(theirs, new FakeFlight);
    world->addComponent(theirs, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
    health(theirs).damage(theirs, 20.0f);
    run(30, 0.1f);
    EXPECT_TRUE(health(theirs).isDead()); // its state arrives from its copy
    EXPECT_TRUE(world->getComponent(theirs.id, kit::tagId("planePhysics"))->enabled);
}

TEST_F(Planes, TheHealthRingShowsHealthAsAFractionOfItsMaximum)
{
    const auto a = plane();
    const kit::EntityHandle bar = world->createEntity();
    auto* ring = new kit::Model(kit::ResourceHandle<kit::Mesh>{});
    world->addComponent(bar, ring);
    world->addComponent(bar, new HealthBar(a));
    health(a).damage(a, 2.5f);
    world->update(0.0f);
    EXPECT_EQ(*ring->uniform<float>("value"), 0.75f);
    EXPECT_EQ(world->getComponent<HealthBar>(bar.id)->health, 7.5f);
    health(a).damage(a, 20.0f);
    world->update(0.0f);
    EXPECT_EQ(*ring->uniform<float>("value"), 0.0f); // never below empty
}
