#include "game/combat/Health.h"
#include "game/match/MatchFunctions.h"
#include "game/combat/HealthBar.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/combat/Score.h"
#include "game/combat/ScoreCounter.h"
#include "game/combat/ScoreFunctions.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/SmokeParticleEmitter.h"

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

namespace {

// Stands in for the plane's flight behaviour, which a wreck switches off.
class FakeFlight : public kit::Behavior {
public:
    FakeFlight() { addTag(kit::tagId("planePhysics")); }
};

// A plane's health, score and what the tests count: the game's named
// functions, registered here as the game world registers them.
struct Planes : test::GameWorld {
    std::vector<std::string> calls;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        network->registerFunction(*world, fn::addKillPoints, [this](kit::EntityHandle e) {
            calls.push_back("kill " + std::to_string(e.id.serial));
            addKillPoints(e);
        });
        network->registerFunction(*world, fn::addDeathPoints, [this](kit::EntityHandle e) {
            calls.push_back("death " + std::to_string(e.id.serial));
            addDeathPoints(e);
        });
        network->registerFunction(*world, fn::grantInvincibility, [this](kit::EntityHandle e) {
            calls.push_back("invincible " + std::to_string(e.id.serial));
        });
        testing::internal::CaptureStdout();
    }
    void TearDown() override { stdoutText = testing::internal::GetCapturedStdout(); }

    kit::EntityHandle plane(std::uint32_t origin = 0)
    {
        const kit::EntityHandle p = origin
                                        ? kit::EntityHandle{kit::EntityID{origin, kit::nextEntitySerial()}, world.get()}
                                        : world->createEntity();
        world->addComponent(p, new kit::Transform(glm::vec3(30, 40, 0)));
        world->addComponent(p, new kit::Body(glm::vec3(5, 5, 0)));
        world->addComponent(p, new Health(10.0f));
        world->addComponent(p, new Score);
        return p;
    }
    Health& health(kit::EntityHandle p) { return *world->getComponent<Health>(p.id); }
    int points(kit::EntityHandle p) { return world->getComponent<Score>(p.id)->points; }
    bool has(kit::EntityHandle p, kit::TagId tag) { return world->getComponent(p.id, tag) != nullptr; }

    std::string stdoutText;
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

TEST_F(Planes, DeathBurnsAndScoresOnceOnTheOwningCopy)
{
    const auto victim = plane();
    const auto attacker = plane();
    health(victim).damage(attacker, 4.0f);
    health(victim).damage(attacker, 6.0f); // exactly 0: dead
    EXPECT_TRUE(health(victim).isDead());
    EXPECT_TRUE(has(victim, kit::typeId<SmokeParticleEmitter>()));
    EXPECT_TRUE(has(victim, kit::typeId<FireParticleEmitter>()));
    EXPECT_EQ(world->getComponentCollection(kit::typeId<SmokeParticleEmitter>())->size(), 1u);
    EXPECT_EQ(calls, (std::vector<std::string>{"kill " + std::to_string(attacker.id.serial),
                                               "death " + std::to_string(victim.id.serial)}));
    EXPECT_EQ(points(attacker), 2);
    EXPECT_EQ(points(victim), -1);
    // Dead planes take no more damage and keep their last attacker.
    const auto other = plane();
    health(victim).damage(other, 3.0f);
    EXPECT_EQ(health(victim).currentHealth, 0.0f);
    EXPECT_EQ(health(victim).lastAttacker.id, attacker.id);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(Planes, ConsoleLinesOfScoring)
{
    const auto victim = plane();
    const auto attacker = plane();
    network->callFunction(fn::addKillPoints, attacker);
    network->callFunction(fn::addDeathPoints, victim);
    world->update(Health::respawnSeconds);
    health(victim).restore();
    network->callFunction(fn::addKillPoints, kit::EntityID{0x999, 1}); // a plane that left: nothing
    network->callFunction(fn::addDeathPoints, victim);
    EXPECT_EQ(points(attacker), 2);
    EXPECT_EQ(points(victim), -2);
    TearDown();
    std::string scoring; // the frame between loaded the particles' files, and said so
    std::istringstream lines(stdoutText);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("KILL") || line.starts_with("DEADED"))
            scoring += line + "\n";
    }
    EXPECT_EQ(scoring, "KILL  \tscore increased by 2 to a value of 2\n"
                       "DEADED\tscore decreased by 1 to a value of -1\n"
                       "DEADED\tscore decreased by 1 to a value of -2\n");
    testing::internal::CaptureStdout();
}

TEST_F(Planes, AKillCountsOnlyRightBeforeTheDeathItCameWith)
{
    const auto attacker = plane();
    auto victim = plane();
    auto next = [&] {
        victim = plane(); // a fresh plane, alive and never dead
    };
    // Alone, or several of them: nothing.
    for (int i = 0; i < 5; ++i)
        network->callFunction(fn::addKillPoints, attacker);
    EXPECT_EQ(points(attacker), 0);
    // Something else between the kill and the death: no kill.
    network->callFunction(fn::addKillPoints, attacker);
    network->callFunction(fn::grantInvincibility, attacker);
    network->callFunction(fn::addDeathPoints, victim);
    EXPECT_EQ(points(attacker), 0);
    EXPECT_EQ(points(victim), -1);
    // The victim named as its own killer: no kill.
    next();
    network->callFunction(fn::addKillPoints, victim);
    network->callFunction(fn::addDeathPoints, victim);
    EXPECT_EQ(points(victim), -1);
    // Right before: two points, once.
    next();
    network->callFunction(fn::addKillPoints, attacker);
    network->callFunction(fn::addKillPoints, attacker);
    network->callFunction(fn::addDeathPoints, victim);
    EXPECT_EQ(points(attacker), 2);
    EXPECT_EQ(points(victim), -1);
}

namespace {

// Counts the batches of a peer's calls that passed here (and so went on).
struct PassedBatches : kit::NetworkTap {
    int count = 0;
    void calls(std::span<const std::uint8_t>) override { ++count; }
    void state(std::span<const std::uint8_t>) override {}
    void networkGone() override {}
};

} // namespace

TEST_F(Planes, APeersKillCountsOnlyInTheBatchOfItsPlanesDeathRightBeforeIt)
{
    constexpr std::uint32_t peer = 0xBEE5;
    const kit::NetAddress from{0x7F000001, 5000};
    auto receive = [&](const std::vector<std::uint8_t>& bytes) {
        network->handlePacket(kit::NetPeer::Packet{bytes, from, 1});
    };
    // One batch of the peer's calls, each about one plane.
    auto batch = [&](const std::vector<std::pair<std::string, kit::EntityID>>& calls) {
        kit::NetStream out;
        for (const auto& [name, about] : calls) {
            kit::NetStream arguments;
            arguments.write(about);
            out.write(kit::NetworkSystem::remoteCallsId);
            out.write(name);
            out.write(arguments);
        }
        out.write(std::uint8_t{0});
        receive(std::vector<std::uint8_t>(out.data(), out.data() + out.bytesUsed()));
    };
    receive(test::statePacketOf(peer, {}));
    PassedBatches passed;
    network->tap = &passed;
    const auto gunner = plane(peer), downed = plane(peer), another = plane(peer), mine = plane();
    // The kill ends one batch and the death starts the next: no kill.
    batch({{"addKillPoints", gunner.id}});
    batch({{"addDeathPoints", downed.id}});
    EXPECT_EQ(points(downed), -1);
    EXPECT_EQ(points(gunner), 0);
    // The peer's kill, then this copy's own death: not the peer's kill.
    batch({{"addKillPoints", gunner.id}});
    network->callFunction(fn::addDeathPoints, mine);
    EXPECT_EQ(points(mine), -1);
    EXPECT_EQ(points(gunner), 0);
    // In one batch, right before the death: two points.
    batch({{"addKillPoints", gunner.id}, {"addDeathPoints", another.id}});
    EXPECT_EQ(points(another), -1);
    EXPECT_EQ(points(gunner), 2);
    EXPECT_EQ(passed.count, 4);
    // A death scored already is refused, and goes no further than here.
    testing::internal::CaptureStderr();
    batch({{"addDeathPoints", another.id}});
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(points(another), -1);
    EXPECT_EQ(passed.count, 4);
    network->tap = nullptr;
}

TEST_F(Planes, ADeathCountsOnceUntilThePlaneLivedAgainARespawnLater)
{
    const auto attacker = plane();
    const auto victim = plane();
    testing::internal::CaptureStderr();
    auto die = [&] {
        network->callFunction(fn::addKillPoints, attacker);
        network->callFunction(fn::addDeathPoints, victim);
    };
    die();
    EXPECT_TRUE(health(victim).isDead()) << "a scored death is a death here too";
    EXPECT_EQ(points(victim), -1);
    die(); // still dead
    world->update(Health::respawnSeconds + 0.1f);
    die(); // long dead, never alive since
    EXPECT_EQ(points(victim), -1);
    EXPECT_EQ(points(attacker), 2);
    // Alive again, a respawn after the death: it may die again.
    health(victim).restore();
    die();
    EXPECT_EQ(points(victim), -2);
    EXPECT_EQ(points(attacker), 4);
    // Alive again at once (its owner's state may say so any time): not within a respawn.
    health(victim).restore();
    world->update(Health::respawnSeconds - 0.05f);
    die();
    EXPECT_EQ(points(victim), -2);
    world->update(0.1f);
    die();
    EXPECT_EQ(points(victim), -3);
    EXPECT_EQ(points(attacker), 6);
    const std::string refused = testing::internal::GetCapturedStderr();
    EXPECT_NE(refused.find("Refused \"addDeathPoints\": a plane that has not lived since its last death"),
              std::string::npos);
}

TEST_F(Planes, ASelfKillCostsAPointAndGivesNone)
{
    const auto a = plane();
    health(a).damage(a, 20.0f);
    EXPECT_EQ(calls, std::vector<std::string>{"death " + std::to_string(a.id.serial)});
    EXPECT_EQ(points(a), -1);
}

TEST_F(Planes, AnotherCopysPlaneDiesHereWithoutScoring)
{
    const auto theirs = plane(0xFEED);
    const auto attacker = plane();
    health(theirs).damage(attacker, 20.0f);
    EXPECT_TRUE(health(theirs).isDead()); // it burns here too
    EXPECT_TRUE(has(theirs, kit::typeId<FireParticleEmitter>()));
    EXPECT_TRUE(calls.empty()); // its own copy scores it
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

TEST(ScoreText, RightAlignedInFourCharacters)
{
    EXPECT_EQ(rightAligned(3, 4), "   3");
    EXPECT_EQ(rightAligned(-1, 4), "  -1");
    EXPECT_EQ(rightAligned(42, 3), " 42");
    EXPECT_EQ(rightAligned(100, 3), "100");
    EXPECT_EQ(rightAligned(12345, 4), "12345");
}

TEST(ScoreReplication, NoCopysWordAboutItsPointsIsTaken)
{
    Score score;
    score.points = 7;
    kit::NetStream absurd, honest, written;
    absurd.write(std::int32_t{2000000000});
    honest.write(std::int32_t{-3});
    for (kit::NetStream record : {absurd, honest}) {
        record.writing = false;
        score.serialize(record);
    }
    EXPECT_EQ(score.points, 7);
    score.serialize(written);
    written.resetReading();
    std::int32_t read = 0;
    ASSERT_TRUE(written.read(read));
    EXPECT_EQ(read, 7);
}

