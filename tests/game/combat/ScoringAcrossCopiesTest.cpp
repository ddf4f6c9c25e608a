// Two copies of the game in one process, connected on loopback inside the
// private network namespace: a death is scored by the copy that owns the
// plane, once, and every copy sees the same points.
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/combat/ScoreFunctions.h"
#include "game/match/MatchFunctions.h"
#include "game/match/PlayerSpawnComp.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

using namespace skyscuffle;

namespace {

struct Copy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);

    explicit Copy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        network->registerFunction(world, fn::addKillPoints, &addKillPoints);
        network->registerFunction(world, fn::addDeathPoints, &addDeathPoints);
    }
    void plane(kit::EntityID id)
    {
        world.addComponent(kit::EntityHandle{id, &world}, new Health(10.0f));
        world.addComponent(kit::EntityHandle{id, &world}, new Score);
    }
    Health& health(kit::EntityID id) { return *world.getComponent<Health>(id); }
    int points(kit::EntityID id) { return world.getComponent<Score>(id)->points; }
};

bool runUntil(Copy& a, Copy& b, const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        a.world.update(1.0f / 60.0f);
        b.world.update(1.0f / 60.0f);
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace

TEST(ScoringAcrossCopies, ADeathIsScoredOnceAndSeenEverywhere)
{
    testing::internal::CaptureStdout();
    Copy host(0xA000), client(0xB000);
    host.network->host(0, 4);
    client.network->join("127.0.0.1", host.network->peer->boundPort());
    ASSERT_TRUE(runUntil(host, client, [&] { return host.network->peer->connectionCount() == 1; }));

    const kit::EntityID hosts{0xA000, 1}, clients{0xB000, 1};
    for (Copy* c : {&host, &client}) {
        c->plane(hosts);
        c->plane(clients);
    }
    // Both copies see the client's bullets bring the host's plane down.
    for (Copy* c : {&host, &client})
        c->health(hosts).damage(kit::EntityHandle{clients, &c->world}, 12.0f);
    ASSERT_TRUE(runUntil(host, client, [&] { return client.points(clients) != 0; }));
    runUntil(host, client, [] { return false; }); // anything more would have arrived by now
    for (Copy* c : {&host, &client}) {
        EXPECT_EQ(c->points(clients), 2);
        EXPECT_EQ(c->points(hosts), -1);
        EXPECT_TRUE(c->health(hosts).isDead());
    }
    testing::internal::GetCapturedStdout();
}

TEST(ScoringAcrossCopies, AWreckLosesItsPowerUpOnEveryCopy)
{
    testing::internal::CaptureStdout();
    Copy host(0xA000), client(0xB000);
    host.network->host(0, 4);
    client.network->join("127.0.0.1", host.network->peer->boundPort());
    ASSERT_TRUE(runUntil(host, client, [&] { return host.network->peer->connectionCount() == 1; }));

    const kit::EntityID hosts{0xA000, 1};
    for (Copy* c : {&host, &client}) {
        c->plane(hosts);
        c->world.addComponent(kit::EntityHandle{hosts, &c->world}, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
        c->world.addComponent(kit::EntityHandle{hosts, &c->world}, new kit::Label("power"));
        c->health(hosts).damage(kit::EntityHandle{hosts, &c->world}, 12.0f);
    }
    // The owning copy takes the power-up away, for every copy.
    EXPECT_TRUE(runUntil(host, client, [&] {
        return !client.world.entityHasTag(hosts, kit::tagId("power")) &&
               !host.world.entityHasTag(hosts, kit::tagId("power"));
    }));
    testing::internal::GetCapturedStdout();
}

namespace {

struct Session : ::testing::Test {
    Copy host{0xA000}, client{0xB000};
    const kit::EntityID hosts{0xA000, 1}, clients{0xB000, 1};

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        host.network->host(0, 4);
        client.network->join("127.0.0.1", host.network->peer->boundPort());
        ASSERT_TRUE(runUntil(host, client, [&] { return host.network->peers().contains(0xB000); }));
        for (Copy* c : {&host, &client}) {
            c->plane(hosts);
            c->plane(clients);
        }
    }
    void TearDown() override
    {
        // The failures' own lines were captured with the copies' console.
        const std::string out = testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        if (HasFailure())
            std::cout << out;
    }
    void settle()
    {
        runUntil(host, client, [] { return false; });
    }
};

} // namespace

TEST_F(Session, AKillCountsOnlyWithADeathOfTheCallersOwnPlane)
{
    // A flood of kills for the host's plane, alone: nothing.
    for (int i = 0; i < 500; ++i)
        client.network->callFunction(fn::addKillPoints, hosts);
    // With the death of the host's plane, which is not the client's to say: nothing.
    client.network->callFunction(fn::addKillPoints, hosts);
    client.network->callFunction(fn::addDeathPoints, hosts);
    settle();
    EXPECT_EQ(host.points(hosts), 0);
    EXPECT_FALSE(host.health(hosts).isDead());
    // With the death of its own plane: two points, once, on both copies.
    client.network->callFunction(fn::addKillPoints, hosts);
    client.network->callFunction(fn::addDeathPoints, clients);
    ASSERT_TRUE(runUntil(host, client, [&] { return host.points(hosts) != 0; }));
    // The same pair again at once: its plane has not lived since.
    client.network->callFunction(fn::addKillPoints, hosts);
    client.network->callFunction(fn::addDeathPoints, clients);
    settle();
    EXPECT_EQ(host.points(hosts), 2);
    EXPECT_EQ(host.points(clients), -1);
    // (The client ran its own forged death of the host's plane: a copy's own
    // calls are its own business. The valid pair counted there too, once.)
    EXPECT_EQ(client.points(hosts), -1 + 2);
    EXPECT_EQ(client.points(clients), -1);
}

TEST_F(Session, APickUpTakenOnAnotherCopyGoesEverywhereButNothingElseOfTheHosts)
{
    const kit::EntityID item{0xA000, 7}, wall{0xA000, 8};
    for (Copy* c : {&host, &client}) {
        c->world.addComponent(kit::EntityHandle{item, &c->world}, new kit::Label("pickUpItem"));
        c->world.addComponent(kit::EntityHandle{item, &c->world}, new kit::Label(std::string(kit::sharedLabel)));
        c->world.addComponent(kit::EntityHandle{wall, &c->world}, new kit::Label("wall"));
    }
    client.network->callFunction(kit::destroyEntityFunction, wall);
    client.network->callFunction(kit::destroyEntityFunction, item);
    ASSERT_TRUE(runUntil(host, client, [&] { return !host.world.entities.contains(item); }));
    settle();
    EXPECT_TRUE(host.world.entities.contains(wall));
}

TEST_F(Session, OnlyTheHostEndsTheMatchForEveryone)
{
    std::vector<std::string> ended[2];
    for (int i = 0; i < 2; ++i) {
        Copy& c = i == 0 ? host : client;
        c.network->registerFunction(c.world, fn::endGame, [&ended, i](kit::EntityHandle e, const ScoreTable&) {
            ended[i].push_back(std::to_string(e.id.origin));
        });
    }
    // A joined copy's own fallback ends its match there, and nowhere else.
    client.network->callFunction(fn::endGame, kit::EntityID{0xB000, 9}, ScoreTable{});
    EXPECT_EQ(ended[1], std::vector<std::string>{std::to_string(0xB000)});
    settle();
    EXPECT_TRUE(ended[0].empty());
    host.network->callFunction(fn::endGame, kit::EntityID{0xA000, 9}, ScoreTable{});
    ASSERT_TRUE(runUntil(host, client, [&] { return ended[1].size() == 2; }));
    EXPECT_EQ(ended[1].back(), std::to_string(0xA000));
}
