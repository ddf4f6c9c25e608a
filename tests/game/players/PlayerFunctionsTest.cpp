#include "game/players/PlayerFunctions.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/NetworkTap.h"
#include "engine/physics/Transform.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "support/ReplayPackets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

using namespace skyscuffle;

TEST(SpawnPersistantPlayer, CreatesThePlayerRecordOnceAndKeepsIt)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerPlayerFunctions(*network);

    const PlayerTextureInfo blue = playerColours()[0];
    const PlayerTextureInfo red = playerColours()[3];
    const kit::EntityHandle player = world.createEntity();
    testing::internal::CaptureStdout();
    network->callFunction(fn::spawnPersistantPlayer, player, blue, 3);
    network->callFunction(fn::spawnPersistantPlayer, player, red, 4); // already known: nothing changes
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");            // the world is not started: no hooks ran

    auto* info = world.getComponent<PlayerInfo>(player.id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->colourName, "Blue");
    EXPECT_EQ(info->modelTexture, blue.modelTexture);
    EXPECT_EQ(info->hudIcon, blue.hudIcon);
    EXPECT_EQ(info->colour, blue.colour);
    EXPECT_EQ(info->number, 3u);
    EXPECT_TRUE(info->hasTag(kit::tagId("persistant")));
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerInfo>())->size(), 1u);
}

TEST(SpawnPersistantPlayer, EveryCopysPlayersAreLabelledPlayer)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerPlayerFunctions(*network);
    const kit::EntityID remote{0x7777, 5}; // announced by another copy
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[1], 2);
    auto* label = world.getComponent(remote, kit::tagId("player"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->hasTag(kit::tagId("persistant"))); // it follows the player from screen to screen
    EXPECT_EQ(world.getEntities(kit::tagId("player"))->size(), 1u);
    network->callFunction(fn::spawnPersistantPlayer, remote, playerColours()[1], 2);
    EXPECT_EQ(world.componentsOf(remote)->size(), 2u); // announced again: nothing more
}

TEST(SpawnPersistantPlayer, NeitherASystemEntityNorAnythingInTheSceneBecomesAPlayer)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerPlayerFunctions(*network);
    // Each with a look of the table, so that only what is named is refused.
    const PlayerTextureInfo look = playerColours()[0];
    network->callFunction(fn::spawnPersistantPlayer, world.systemEntity(), look, 1);
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0x7777, 0}, look, 1);
    const kit::EntityHandle bullet = world.createEntity();
    world.addComponent(bullet, new kit::Transform());
    network->callFunction(fn::spawnPersistantPlayer, bullet, look, 1);
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerInfo>())->size(), 0u);
    // The same call for an entity outside the scene does make a player.
    network->callFunction(fn::spawnPersistantPlayer, world.createEntity(), look, 1);
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerInfo>())->size(), 1u);
}

namespace {

// A copy's world and network system with the start-up functions, as a peer's
// calls reach it.
struct Announcements : ::testing::Test {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    void SetUp() override
    {
        world.origin = 0x5000;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        registerPlayerFunctions(*network);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        if (!done)
            finish();
    }
    void finish()
    {
        done = true;
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        if (HasFailure())
            std::cout << out; // what failed said so there too
    }
    void announce(kit::EntityID player, int colour, int number = 1)
    {
        network->callFunction(fn::spawnPersistantPlayer, player, playerColours()[static_cast<std::size_t>(colour)],
                              number);
    }
    bool isPlayer(kit::EntityID id) { return world.getComponent<PlayerInfo>(id) != nullptr; }
    std::size_t players() { return world.getComponentCollection(kit::typeId<PlayerInfo>())->size(); }

    bool done = false;
    std::string out, err;
};

} // namespace

TEST_F(Announcements, OnlyTheSixColourRowsAreAPlayersLook)
{
    const PlayerTextureInfo blue = playerColours()[0];
    PlayerTextureInfo climbing = blue;
    climbing.modelTexture = "models/playerPlane/../../../../etc/passwd";
    PlayerTextureInfo otherIcon = blue;
    otherIcon.hudIcon = "sprites/HUD/plane5.png"; // another row's icon
    PlayerTextureInfo otherTint = blue;
    otherTint.colour.b += 0.01f;
    PlayerTextureInfo renamed = blue;
    renamed.colourName = "Blue\x1b[31m";
    std::uint32_t serial = 1;
    for (const PlayerTextureInfo& look : {climbing, otherIcon, otherTint, renamed, PlayerTextureInfo{}})
        network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0x7777, serial++}, look, 1);
    EXPECT_EQ(players(), 0u);
    for (std::size_t row = 0; row < 6; ++row)
        announce(kit::EntityID{0x7777, serial++}, static_cast<int>(row), static_cast<int>(row) + 1);
    EXPECT_EQ(players(), 6u);
    finish();
    EXPECT_EQ(err.find("passwd"), std::string::npos);
    int lines = 0;
    for (std::size_t at =
             err.find("Refused \"spawnPersistantPlayer\": a player's look that is none of the six colours\n");
         at != std::string::npos; at = err.find("Refused", at + 1))
        ++lines;
    EXPECT_EQ(lines, 5) << err;
}

TEST_F(Announcements, AnOlderReplaysLookIsItsRowAsTheTableHasItNow)
{
    // Blue and red as replays recorded them before the colours were moved apart.
    PlayerTextureInfo oldBlue = playerColours()[0];
    oldBlue.colour = {0.3f, 0.6f, 0.8f};
    PlayerTextureInfo oldRedOnBlue = playerColours()[0];
    oldRedOnBlue.colour = {0.8f, 0.4f, 0.3f}; // another row's former colour
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0x7777, 1}, oldRedOnBlue, 1);
    EXPECT_EQ(players(), 0u);
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0x7777, 2}, oldBlue, 2);
    ASSERT_EQ(players(), 1u);
    const auto* info = world.getComponent<PlayerInfo>(kit::EntityID{0x7777, 2});
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->colour, playerColours()[0].colour) << "seated in today's blue";
    EXPECT_EQ(colourRowOf(oldBlue), &playerColours()[0]);
    EXPECT_EQ(colourRowOf(playerColours()[5]), &playerColours()[5]);
    EXPECT_EQ(colourRowOf(oldRedOnBlue), nullptr);
    finish();
}

TEST_F(Announcements, PlayerNumbersOutOfRangeAreRefused)
{
    announce(kit::EntityID{0x7777, 1}, 0, 0);
    announce(kit::EntityID{0x7777, 2}, 0, -3);
    announce(kit::EntityID{0x7777, 3}, 0, 100000);
    EXPECT_EQ(players(), 0u);
    announce(kit::EntityID{0x7777, 4}, 0, 6);
    EXPECT_EQ(players(), 1u);
}

TEST_F(Announcements, PlayerNumbersFromOneToAThousandAndNoneBeyond)
{
    struct Edge {
        int inside, outside;
    };
    std::uint32_t serial = 1;
    int colour = 0; // each seated player in a colour of its own
    for (const Edge& e : {Edge{1, 0}, Edge{1000, 1001}}) {
        const kit::EntityID refused{0x7777, serial++}, taken{0x7777, serial++};
        announce(refused, colour, e.outside);
        announce(taken, colour++, e.inside);
        EXPECT_FALSE(isPlayer(refused)) << e.outside;
        ASSERT_TRUE(isPlayer(taken)) << e.inside;
        EXPECT_EQ(world.getComponent<PlayerInfo>(taken)->number, static_cast<std::uint32_t>(e.inside));
    }
}

// The names of the calls in a batch (read from its start).
static std::vector<std::string> namesIn(kit::NetStream batch)
{
    batch.resetReading();
    std::vector<std::string> names;
    std::uint8_t marker = 0;
    while (batch.read(marker) && marker == kit::NetworkSystem::remoteCallsId) {
        std::string name;
        kit::NetStream arguments;
        batch.read(name);
        batch.read(arguments);
        names.push_back(name);
    }
    return names;
}

// The calls queued for the other copies, by name.
static std::vector<std::string> queuedNames(const kit::NetworkSystem& network)
{
    return namesIn(network.pendingCalls);
}

TEST_F(Announcements, TheHostSeatsSixFirstComeFirstServedWhateverTheirIds)
{
    // Six of another copy, in the order they come.
    for (std::uint32_t serial : {2u, 6u, 4u, 1u, 5u, 3u})
        announce(kit::EntityID{0x7777, serial}, static_cast<int>(serial) - 1);
    ASSERT_EQ(players(), 6u);
    network->pendingCalls.clear();
    announce(kit::EntityID{0x7777, 9}, 0); // a seventh: refused
    announce(kit::EntityID{0x1111, 1}, 0); // a copy with a smaller origin: refused all the same
    announce(kit::EntityID{0, 1}, 1);
    EXPECT_EQ(players(), 6u);
    for (const kit::EntityID id : {kit::EntityID{0x7777, 9}, kit::EntityID{0x1111, 1}, kit::EntityID{0, 1}})
        EXPECT_FALSE(isPlayer(id));
    for (std::uint32_t serial = 1; serial <= 6; ++serial)
        EXPECT_TRUE(isPlayer(kit::EntityID{0x7777, serial}));
    // Each one's copy is told (the announcements themselves were this test's calls).
    EXPECT_EQ(queuedNames(*network),
              (std::vector<std::string>{"spawnPersistantPlayer", "refuseSeat", "spawnPersistantPlayer", "refuseSeat",
                                        "spawnPersistantPlayer", "refuseSeat"}));
    finish();
    EXPECT_NE(err.find("Refused \"spawnPersistantPlayer\": no seat left: the session holds six\n"), std::string::npos)
        << err;
}

namespace {

// The calls of a peer's batches that passed here, by name.
struct PassedCalls : kit::NetworkTap {
    std::vector<std::string> names;
    void calls(std::span<const std::uint8_t> batch) override
    {
        const std::vector<std::string> more = namesIn(kit::NetStream(batch.data(), batch.size()));
        names.insert(names.end(), more.begin(), more.end());
    }
    void state(std::span<const std::uint8_t>) override {}
    void networkGone() override {}
};

} // namespace

TEST_F(Announcements, APlayerTheHostTurnsAwayGoesNoFurther)
{
    // Another copy announces seven players in one batch, as its network sends them.
    constexpr std::uint32_t peer = 0x7777;
    kit::World theirs;
    theirs.origin = peer;
    auto* sender = new kit::NetworkSystem(30.0f);
    theirs.addComponent(kit::EntityHandle{theirs.systemEntity(), &theirs}, sender);
    for (std::uint32_t serial = 1; serial <= 7; ++serial)
        sender->callFunction(fn::spawnPersistantPlayer, kit::EntityID{peer, serial}, playerColours()[(serial - 1) % 6],
                             static_cast<int>(serial));
    std::vector<std::uint8_t> batch(sender->pendingCalls.data(),
                                    sender->pendingCalls.data() + sender->pendingCalls.bytesUsed());
    batch.push_back(0);
    PassedCalls passed;
    network->tap = &passed;
    const kit::NetAddress from{0x7F000001, 5000};
    network->handlePacket(kit::NetPeer::Packet{test::statePacketOf(peer, {}, "joinScreen"), from, 1});
    network->handlePacket(kit::NetPeer::Packet{batch, from, 1});
    network->tap = nullptr;
    EXPECT_EQ(players(), 6u);
    EXPECT_FALSE(isPlayer(kit::EntityID{peer, 7}));
    EXPECT_EQ(passed.names, std::vector<std::string>(6, "spawnPersistantPlayer")) << "the seventh is not passed on";
    EXPECT_EQ(network->traffic.callsDropped, 1u);
}

TEST_F(Announcements, AColourTakenAlreadyGetsNoSeatAndNobodyIsPushedOut)
{
    std::vector<kit::EntityHandle> own;
    for (int i = 0; i < 3; ++i) {
        own.push_back(world.createEntity());
        announce(own.back().id, i, i + 1);
    }
    network->pendingCalls.clear();
    announce(kit::EntityID{0x0001, 1}, 2, 9); // this copy's colour, the smallest origin
    announce(kit::EntityID{0x0001, 2}, 4, 1); // a free colour, a number taken: seated
    EXPECT_FALSE(isPlayer(kit::EntityID{0x0001, 1}));
    EXPECT_TRUE(isPlayer(kit::EntityID{0x0001, 2}));
    for (const kit::EntityHandle& e : own)
        EXPECT_TRUE(isPlayer(e.id));
    EXPECT_EQ(queuedNames(*network),
              (std::vector<std::string>{"spawnPersistantPlayer", "refuseSeat", "spawnPersistantPlayer"}))
        << "no destroyEntity of its own";
    finish();
    EXPECT_NE(err.find("its colour went to a player seated before it"), std::string::npos) << err;
}

TEST_F(Announcements, AJoinedCopyTakesItsHostsWordUpToSixPlayersOfOthers)
{
    network->startAs(kit::NetworkSystem::Role::client);
    const kit::EntityHandle mine = world.createEntity();
    announce(mine.id, 0, 1);
    // The host seated these: a colour this copy's own wears too (its player
    // has yet to hear that it lost it) is no reason to refuse them.
    for (std::uint32_t serial = 1; serial <= 6; ++serial)
        announce(kit::EntityID{0x7777, serial}, static_cast<int>(serial) - 1);
    EXPECT_EQ(players(), 7u);
    announce(kit::EntityID{0x7777, 7}, 0); // a seventh of other copies: more than a session holds
    EXPECT_EQ(players(), 7u);
    const std::vector<std::string> names = queuedNames(*network);
    EXPECT_EQ(std::count(names.begin(), names.end(), "refuseSeat"), 0) << "a joined copy turns nobody away";
    finish();
    EXPECT_NE(err.find("more players of other copies than a session holds"), std::string::npos) << err;
}

TEST_F(Announcements, ACopysOwnPlayersAreItsJoinScreensToCount)
{
    for (int i = 0; i < 8; ++i) // a simulator's eight pilots
        announce(world.createEntity().id, i % 6, i + 1);
    EXPECT_EQ(players(), 8u);
}

TEST_F(Announcements, OnlyTheGamesRemovablePartsAreDestroyedByName)
{
    const kit::EntityHandle plane{kit::EntityID{0x7777, 3}, &world};
    world.addComponent(plane, new kit::Transform());
    announce(kit::EntityID{0x7777, 4}, 0);
    network->callFunction(kit::destroyComponentFunction, plane, "transform");
    network->callFunction(kit::destroyComponentFunction, kit::EntityID{0x7777, 4}, "player");
    EXPECT_NE(world.getComponent<kit::Transform>(plane.id), nullptr);
    EXPECT_TRUE(world.entityHasTag(kit::EntityID{0x7777, 4}, kit::tagId("player")));
    network->callFunction(kit::destroyComponentFunction, kit::EntityID{0x7777, 4}, "playerInfo");
    EXPECT_FALSE(isPlayer(kit::EntityID{0x7777, 4}));
}

// Who may make each of the game's calls over the network. A copy acts on
// what it owns; the exceptions are the cross-copy cases of a match.
TEST(CallerRules, EachFunctionSaysWhoMayCallIt)
{
    using kit::Caller;
    // The copy that owns the entity: its players, its planes, its projectiles, its sounds and texts.
    for (Caller rule : {fn::spawnPersistantPlayer.caller, fn::spawnPlayer.caller, fn::grantPower.caller,
                        fn::grantInvincibility.caller, fn::addDeathPoints.caller, fn::spawnBombSpawner.caller,
                        fn::spawnBullet.caller, fn::spawnBomb.caller, fn::spawnTaunt.caller, fn::print.caller,
                        fn::playSound.caller, fn::requestPlayers.caller, kit::destroyComponentFunction.caller})
        EXPECT_EQ(rule, Caller::owner);
    // The victim's copy scores the attacker's kill.
    EXPECT_EQ(fn::addKillPoints.caller, Caller::anyone);
    // A pick-up, which the host made, goes with the copy of the plane that took it.
    EXPECT_EQ(kit::destroyEntityFunction.caller, Caller::ownerOrShared);
    // The host deals the pick-ups, starts and ends the match.
    for (Caller rule : {fn::spawnPowerup.caller, fn::startGameplay.caller, fn::endGame.caller})
        EXPECT_EQ(rule, Caller::host);
}
