// Two copies whose players joined before they heard of each other, eight in
// all, connected on loopback inside the private network namespace: the
// session settles on the same six players, in six colours, on both.
#include "game/lobby/SessionWatch.h"
#include "game/match/MatchFunctions.h"
#include "game/players/PlayerFunctions.h"
#include "game/players/PlayerInfo.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/players/PlayerColours.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <thread>

using namespace skyscuffle;

namespace {

// A copy on its join screen, as far as players go.
struct Lobby {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    std::vector<kit::EntityID> own;

    explicit Lobby(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        registerPlayerFunctions(*network);
        network->registerFunction(world, fn::requestPlayers,
                                  [](kit::EntityHandle e) { joining::announcePlayers(e.world); });
        for (int i = 0; i < 4; ++i) { // the same four colours as the other copy's
            const kit::EntityHandle player = world.createEntity();
            network->callFunction(fn::spawnPersistantPlayer, player, playerColours()[static_cast<std::size_t>(i)],
                                  i + 1);
            own.push_back(player.id);
        }
        watchSession(&world);
    }
    std::set<kit::EntityID> players()
    {
        std::set<kit::EntityID> ids;
        for (const auto& e : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
            ids.insert(e.id);
        return ids;
    }
    std::set<std::string> colours()
    {
        std::set<std::string> worn;
        for (const auto& e : world.getEntities(kit::typeId<PlayerInfo>())->toVector())
            worn.insert(world.getComponent<PlayerInfo>(e.id)->modelTexture);
        return worn;
    }
    std::string colourOf(kit::EntityID id) { return world.getComponent<PlayerInfo>(id)->modelTexture; }
};

} // namespace

TEST(SessionWatch, EightPlayersOfTwoCopiesSettleOnTheSameSix)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Lobby first(0xA000), later(0xB000);
    first.network->host(0, 4);
    later.network->join("127.0.0.1", first.network->peer->boundPort());
    const std::set<kit::EntityID> expected{first.own[0], first.own[1], first.own[2],
                                           first.own[3], later.own[0], later.own[1]};
    bool settled = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!settled && std::chrono::steady_clock::now() < end) {
        first.world.update(1.0f / 60.0f);
        later.world.update(1.0f / 60.0f);
        settled = first.players() == expected && later.players() == expected && first.colours().size() == 6 &&
                  later.colours().size() == 6;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (int i = 0; i < 30; ++i) { // and it stays so
        first.world.update(1.0f / 60.0f);
        later.world.update(1.0f / 60.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(settled) << out << err;
    EXPECT_EQ(first.players(), expected);
    EXPECT_EQ(later.players(), expected);
    EXPECT_EQ(first.colours().size(), 6u);
    for (const kit::EntityID& id : expected)
        EXPECT_EQ(first.colourOf(id), later.colourOf(id));
    EXPECT_FALSE(later.world.entities.contains(later.own[3])); // gone on its own copy too
}
