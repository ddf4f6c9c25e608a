// The sides of a team match: who decides them, how a newcomer is placed, a
// player moving over, what a copy may say of them, and who are friends.
#include "game/players/Sides.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skyscuffle;

namespace {

class Sides : public ::testing::Test {
protected:
    void SetUp() override
    {
        network = new kit::NetworkSystem(30.0f);
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        registerPlayerFunctions(*network);
    }
    kit::EntityHandle player(std::uint32_t origin = 0)
    {
        const kit::EntityID id{origin ? origin : world.origin, ++serial};
        network->callFunction(fn::spawnPersistantPlayer, id, playerColours()[players.size() % 6],
                              static_cast<int>(players.size()) + 1);
        players.push_back(kit::EntityHandle{id, &world});
        return players.back();
    }
    std::vector<std::optional<Side>> sides()
    {
        std::vector<std::optional<Side>> all;
        for (const kit::EntityHandle& p : players)
            all.push_back(sideOf(world, p.id));
        return all;
    }

    kit::World world;
    kit::NetworkSystem* network = nullptr;
    std::vector<kit::EntityHandle> players;
    std::uint32_t serial = 100;
};

} // namespace

TEST_F(Sides, TheHostPutsEachNewcomerOnTheSmallerSide)
{
    for (int i = 0; i < 3; ++i)
        player();
    balanceSides(world);
    EXPECT_EQ(sides(), (std::vector<std::optional<Side>>{Side::sun, Side::moon, Side::sun}));
    player(0x5151); // another copy's
    balanceSides(world);
    EXPECT_EQ(sides().back(), Side::moon);
    EXPECT_EQ(playersOn(world, Side::sun), 2);
    EXPECT_EQ(playersOn(world, Side::moon), 2);
    // A player who came over makes the moon the bigger side: the next goes to the sun.
    network->callFunction(fn::switchSide, players[0]);
    EXPECT_EQ(sides()[0], Side::moon);
    player();
    balanceSides(world);
    EXPECT_EQ(sides().back(), Side::sun);
    EXPECT_TRUE(world.getComponent<PlayerSide>(players[0].id)->hasTag(kit::tagId("persistant")))
        << "a side goes with its player from screen to screen";
}

TEST_F(Sides, AJoinedCopyDecidesNoSideAndTakesOnlyTwo)
{
    const kit::EntityHandle mine = player();
    const kit::EntityHandle theirs = player(0x5151);
    network->startAs(kit::NetworkSystem::Role::client);
    balanceSides(world);
    EXPECT_EQ(sideOf(world, mine.id), std::nullopt) << "the host decides";
    network->callFunction(fn::playerSide, world.systemEntity(), theirs.id, 1);
    EXPECT_EQ(sideOf(world, theirs.id), Side::moon);
    network->callFunction(fn::switchSide, mine);
    EXPECT_EQ(sideOf(world, mine.id), std::nullopt) << "asked for, decided by the host";
    for (const std::int32_t bad : {2, -1, 99})
        network->callFunction(fn::playerSide, world.systemEntity(), mine.id, bad);
    EXPECT_EQ(sideOf(world, mine.id), std::nullopt);
    network->callFunction(fn::playerSide, world.systemEntity(), kit::EntityID{0x5151, 77}, 0); // nobody announced it
    EXPECT_EQ(world.getComponent<PlayerSide>(kit::EntityID{0x5151, 77}), nullptr);
    network->callFunction(fn::playerSide, world.systemEntity(), mine.id, 0);
    network->callFunction(fn::playerSide, world.systemEntity(), mine.id, 1);
    EXPECT_EQ(sideOf(world, mine.id), Side::moon) << "the host's last word";
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerSide>())->size(), 2u);
}

TEST_F(Sides, FriendsAreOneSidesPlayersInATeamMatchOnly)
{
    const kit::EntityHandle a = player(), b = player(), c = player(), d = player();
    balanceSides(world); // a, c sun; b, d moon
    EXPECT_FALSE(friends(world, a.id, c.id)) << "no team match here";
    world.addComponent(world.createEntity(), new TeamPlay(false));
    EXPECT_TRUE(friends(world, a.id, c.id));
    EXPECT_TRUE(friends(world, d.id, b.id));
    EXPECT_FALSE(friends(world, a.id, b.id));
    const kit::EntityHandle loner{kit::EntityID{0x5151, 9}, &world};
    EXPECT_FALSE(friends(world, a.id, loner.id)) << "a plane without a side is nobody's friend";
    const kit::EntityHandle other{kit::EntityID{0x5151, 10}, &world};
    EXPECT_FALSE(friends(world, loner.id, other.id)) << "nor is another without one its friend";
    EXPECT_STREQ(nameOf(Side::sun), "Sun");
    EXPECT_STREQ(nameOf(Side::moon), "Moon");
    EXPECT_STRNE(badgeOf(Side::sun), badgeOf(Side::moon));
}
