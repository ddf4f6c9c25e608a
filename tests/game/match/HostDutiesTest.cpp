// A match outlives its host: copies of the game in one process, on the real
// match world, lose their host mid-match or between matches and play on
// under the next one; a copy left alone starts its own game.
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/flight/PlanePhysics.h"
#include "game/lobby/DepartedCopies.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchStart.h"
#include "game/match/Timer.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/PowerEnum.h"
#include "game/powerups/PowerupSpawnSystem.h"

#include "support/MatchSession.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace {

using test::MatchCopy;

class HostDuties : public test::MatchSession {
protected:
    // The pick-ups in a copy's world made by a copy of `origin`.
    static std::size_t pickUpsOf(MatchCopy& c, std::uint32_t origin)
    {
        std::size_t n = 0;
        for (const kit::EntityHandle& e : c.world().getEntities(kit::tagId("pickUpItem"))->toVector())
            n += e.id.origin == origin;
        return n;
    }
    static int points(MatchCopy& c, kit::EntityID plane)
    {
        const auto* score = c.world().getComponent<Score>(plane);
        return score ? score->points : -1000;
    }
};

} // namespace

TEST_F(HostDuties, TheHostVanishesMidMatchAndTheOthersPlayItOutUnderTheNextHost)
{
    tune("tuning.gameWorld.matchLength", "10", "180");
    paced = true; // silence is two seconds on the wall clock
    tune("tuning.powerupSpawn.minSpawnInterval", "0.6", "1");
    tune("tuning.powerupSpawn.maxSpawnInterval", "0.6", "20");
    tune("tuning.powerup.lifespan", "600", "10");
    openSession({0xA000, 0xB000, 0xC000});
    MatchCopy &host = *copies[0], &next = *copies[1], &high = *copies[2];
    for (std::size_t i : {2u, 1u, 0u})
        copies[i]->enterMatch();
    ASSERT_TRUE(until([&] {
        return count<PlanePhysics>(host.world()) == 3 && count<PlanePhysics>(high.world()) == 3 &&
               count<PlanePhysics>(next.world()) == 3;
    }));
    recordTables();
    kit::World* nextGame = &next.world();
    kit::World* highGame = &high.world();
    EXPECT_EQ(count<PowerupSpawnSystem>(host.world()), 1u);
    EXPECT_EQ(count<PowerupSpawnSystem>(next.world()), 0u) << "only the host spawns pick-ups";
    // A pick-up of the host's that both others have.
    host.network->callFunction(fn::spawnPowerup, host.world().createEntity(), glm::vec3(80.0f, 70.0f, 0.0f),
                               PowerEnum::health);
    ASSERT_TRUE(until([&] { return pickUpsOf(next, 0xA000) >= 1 && pickUpsOf(high, 0xA000) >= 1; }));
    // A score of the next host's that nothing else changes (the pilots' own
    // kills come and go): a kill scored by another copy adds 2 to it, with
    // the death of a plane of that copy's.
    const kit::EntityID tally{0xB000, 900000}, victim{0xC000, 900001};
    for (MatchCopy* c : {&next, &high}) {
        c->world().addComponent(kit::EntityHandle{tally, &c->world()}, new Score);
        c->world().addComponent(kit::EntityHandle{victim, &c->world()}, new Score);
        c->world().addComponent(kit::EntityHandle{victim, &c->world()}, new Health(10.0f));
    }

    vanish(0);
    // Said to nobody, while the host is already gone: the kill that the high
    // copy scores for the next copy's plane.
    high.network->callFunction(fn::addKillPoints, tally);
    high.network->callFunction(fn::addDeathPoints, victim);
    ASSERT_TRUE(until([&] { return joinedTo(high, next); }));
    EXPECT_EQ(next.network->migration().outcome(), kit::HostMigration::Outcome::hostsSession);
    ASSERT_EQ(&next.world(), nextGame) << "the match goes on";
    ASSERT_EQ(&high.world(), highGame);
    for (MatchCopy* c : {&next, &high}) {
        EXPECT_EQ(count<PlanePhysics>(c->world()), 2u) << "the host's plane went with it";
        EXPECT_GE(pickUpsOf(*c, 0xA000), 1u) << "the host's pick-ups stay in the sky";
    }
    // The kill made in the gap reached the plane's own copy, once.
    ASSERT_TRUE(until([&] { return points(next, tally) == 2; }));
    until([] { return false; }, 1);
    EXPECT_EQ(points(next, tally), 2);
    EXPECT_EQ(points(high, tally), 2);
    // The next host spawns the pick-ups now, for everyone.
    EXPECT_EQ(count<PowerupSpawnSystem>(next.world()), 1u);
    EXPECT_EQ(count<PowerupSpawnSystem>(high.world()), 0u);
    ASSERT_TRUE(until([&] { return pickUpsOf(high, 0xB000) >= 2; }));

    // The match ends on the next host's clock, with one table everywhere:
    // the other copy ends with it, not on its own later fallback.
    ASSERT_TRUE(until([&] { return &next.world() != nextGame; }, 40));
    int framesLater = 0;
    ASSERT_TRUE(until([&] { return &high.world() != highGame || ++framesLater > 1000; }));
    EXPECT_LT(framesLater, static_cast<int>(joinedCopyGrace * 60.0f / 2.0f));
    const std::string console = said();
    ASSERT_EQ(tables.size(), 2u);
    const ScoreTable& table = tables.at(&next);
    EXPECT_EQ(tables.at(&high), table);
    ASSERT_EQ(table.size(), 2u);
    for (const ScoreEntry& entry : table)
        EXPECT_NE(entry.plane.origin, 0xA000u);
    EXPECT_NE(console.find("The session's host has gone: this copy hosts the session now\n"), std::string::npos);
    EXPECT_NE(console.find("Copy 0000a000 fell silent: its 1 plane is gone from the match\n"), std::string::npos);
}

TEST_F(HostDuties, TheHostLeavesBetweenMatchesAndTheSessionPlaysOnUnderTheNextHost)
{
    tune("tuning.gameWorld.matchLength", "3", "180");
    openSession({0xA000, 0xB000, 0xC000});
    MatchCopy &next = *copies[1], &other = *copies[2];
    leave(0);
    ASSERT_TRUE(until([&] { return joinedTo(other, next); }));
    // As the join screen does: the players of a copy that left go.
    for (MatchCopy* c : {&next, &other}) {
        removeCopy(c->world(), 0xA000);
        EXPECT_EQ(c->world().getEntities(kit::typeId<PlayerInfo>())->size(), 2u);
    }
    other.enterMatch();
    next.enterMatch();
    recordTables();
    kit::World* nextGame = &next.world();
    kit::World* otherGame = &other.world();
    ASSERT_TRUE(until([&] {
        return count<PlanePhysics>(next.world()) == 2 && count<PlanePhysics>(other.world()) == 2;
    })) << "the next host starts the match";
    EXPECT_EQ(count<PowerupSpawnSystem>(next.world()), 1u);
    EXPECT_EQ(count<PowerupSpawnSystem>(other.world()), 0u);
    ASSERT_TRUE(until([&] { return &next.world() != nextGame && &other.world() != otherGame; }, 30));
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables.at(&next), tables.at(&other));
    EXPECT_EQ(tables.at(&next).size(), 2u);
}

TEST_F(HostDuties, AJoinedCopyLeftAloneStartsItsOwnGame)
{
    openSession({0xA000, 0xB000});
    MatchCopy& joined = *copies[1];
    joined.enterMatch(); // the host stays in its lobby
    until([] { return false; }, 1);
    ASSERT_EQ(count<PlanePhysics>(joined.world()), 0u) << "a joined copy waits for its host's start";
    ASSERT_EQ(count<Timer>(joined.world()), 0u);
    leave(0);
    ASSERT_TRUE(until([&] { return count<PlanePhysics>(joined.world()) == 1; }));
    EXPECT_TRUE(joined.network->isServer());
    EXPECT_EQ(joined.network->migration().outcome(), kit::HostMigration::Outcome::alone);
    EXPECT_EQ(count<Timer>(joined.world()), 1u);
    EXPECT_EQ(count<PowerupSpawnSystem>(joined.world()), 1u);
    const std::string console = said();
    EXPECT_NE(console.find("The session's host has gone: this copy hosts its own games now\n"), std::string::npos);
}
