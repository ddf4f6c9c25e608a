// Kills and deaths scored: once, on the copy that owns the plane, only when
// the kill came with the death, and never from another copy's word about its
// points.
#include "game/combat/Health.h"
#include "game/combat/HealthBar.h"
#include "game/combat/Score.h"
#include "game/combat/ScoreCounter.h"
#include "game/combat/ScoreFunctions.h"
#include "game/effects/FireParticleEmitter.h"
#include "game/effects/SmokeParticleEmitter.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/players/Sides.h"

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

TEST_F(Planes, PointsThatCountRoundsTakeNothingFromKillsOrDeaths)
{
    const auto victim = plane();
    const auto attacker = plane();
    for (const auto& p : {victim, attacker})
        world->getComponent<Score>(p.id)->byKills = false;
    health(victim).damage(attacker, 20.0f);
    EXPECT_EQ(calls.size(), 2u) << "the kill and the death are still told";
    EXPECT_EQ(points(attacker), 0);
    EXPECT_EQ(points(victim), 0);
    // A killer that counts kills still gains by one that does not.
    world->getComponent<Score>(attacker.id)->byKills = true;
    const auto another = plane();
    world->getComponent<Score>(another.id)->byKills = false;
    health(another).damage(attacker, 20.0f);
    EXPECT_EQ(points(attacker), 2);
    EXPECT_EQ(points(another), 0);
}

TEST_F(Planes, InATeamMatchAFriendsFireHurtsOnlyWithFriendlyFireAndItsKillCountsForNobody)
{
    const auto a = plane(), b = plane(), foe = plane();
    world->addComponent(a, new PlayerSide(Side::sun));
    world->addComponent(b, new PlayerSide(Side::sun));
    world->addComponent(foe, new PlayerSide(Side::moon));
    auto* teams = new TeamPlay(false);
    world->addComponent(world->createEntity(), teams);
    health(a).damage(b, 3.0f);
    EXPECT_EQ(health(a).currentHealth, 10.0f) << "a friend's fire, friendly fire off";
    health(a).damage(foe, 3.0f);
    EXPECT_EQ(health(a).currentHealth, 7.0f);
    health(a).damage(a, 1.0f);
    EXPECT_EQ(health(a).currentHealth, 6.0f) << "its own fire still hurts";
    teams->friendlyFire = true;
    health(a).damage(b, 2.0f);
    EXPECT_EQ(health(a).currentHealth, 4.0f) << "friendly fire on";
    health(a).damage(b, 10.0f);
    EXPECT_TRUE(health(a).isDead());
    EXPECT_EQ(points(b), 0) << "a friend's kill counts for nobody";
    EXPECT_EQ(points(a), -1);
    health(b).damage(foe, 20.0f);
    EXPECT_EQ(points(foe), 2) << "a foe's kill counts";
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
