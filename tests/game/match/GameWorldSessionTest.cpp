// The match world of two copies of the game, connected on loopback inside
// the private network namespace, or of one copy that hears of another: who
// starts and ends the match and when, one match played on both, and a copy
// that leaves it.
#include "game/ai/PlaneDecisionTree.h"
#include "game/camera/SideviewCameraBehavior.h"
#include "game/combat/Health.h"
#include "game/combat/HealthBar.h"
#include "game/combat/Score.h"
#include "game/common/ArenaLayout.h"
#include "game/common/Tags.h"
#include "game/effects/ParticleBudget.h"
#include "game/effects/ShadowOfObject.h"
#include "game/flight/PlanePhysics.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchRules.h"
#include "game/match/MatchStart.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/match/ScoreTable.h"
#include "game/match/SpawnCircle.h"
#include "game/match/Timer.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/InvincibilityPower.h"
#include "game/powerups/PowerupSpawnSystem.h"
#include "game/weapons/BasicGun.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/ProjectileBudget.h"

#include "MatchFixture.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/input/Joystick.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/physics/ConstantRotation.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/SpringAttachment.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Text.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceBucket.h"
#include "support/FakeJoystickDriver.h"
#include "support/GlContext.h"
#include "support/MatchCopy.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <lodepng.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <thread>

using namespace skyscuffle;
using test::addDiscovery;
using test::Match;
using test::occurrences;

TEST_F(Match, TheHostWaitsUntilEveryCopyShowsItsGame)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    kit::NetworkSystem::PeerRecord peer;
    peer.origin = 0xB000;
    peer.screenName = "joinScreen";
    for (int i = 0; i < 10; ++i) {
        c.network->recordPeer(peer); // still heard from
        c.frame();
    }
    EXPECT_EQ(count<PlanePhysics>(c.world()), 0u);
    peer.screenName = "game";
    c.network->recordPeer(peer);
    c.frame();
    EXPECT_EQ(count<PlanePhysics>(c.world()), 1u);
}

TEST_F(Match, AJoinedCopyNeverStartsTheMatchItselfEvenWhenEveryCopyShowsItsGame)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.enterMatch();
    c.network->startAs(kit::NetworkSystem::Role::client); // the host is the peer below; it starts the match
    kit::NetworkSystem::PeerRecord host;
    host.origin = 0xB000;
    host.screenName = "game";
    for (int i = 0; i < 10; ++i) {
        c.network->recordPeer(host);
        c.frame();
    }
    EXPECT_EQ(count<PlanePhysics>(c.world()), 0u);
}

TEST_F(Match, TheMatchEndsOnceWhateverManyCopiesCallIt)
{
    kit::settings::set("tuning.gameWorld.matchLength", "1");
    kit::SettingsEntryBase::refreshAll();
    auto& c = copy(0xA000);
    c.addPlayer(0);
    testing::internal::CaptureStdout();
    c.enterMatch();
    kit::World* game = &c.world();
    for (int i = 0; i < 120 && !c.app->pending; ++i) // a match lasts a second at the least
        game->update(1.0f / 60.0f);
    ASSERT_NE(c.app->pending, nullptr);
    const auto winScreen = c.app->pending;
    // Another copy's clock: ignored.
    c.network->callFunction(fn::endGame, game->systemEntity(), ScoreTable{});
    EXPECT_EQ(c.app->pending, winScreen);
    c.frame();
    EXPECT_EQ(c.app->current, winScreen);
    // A late one after the switch reaches no match at all.
    c.network->callFunction(fn::endGame, c.world().systemEntity(), ScoreTable{});
    EXPECT_EQ(c.app->pending, nullptr);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(occurrences(console, "Toggled Background sound"), 2u); // resumed on entry, paused once at the end
}

TEST_F(Match, TwoCopiesPlayOneMatch)
{
    loadTheMatch();
    auto& host = copy(0xA000);
    auto& client = copy(0xB000);
    kit::LANDiscoverySystem* hostsDiscovery = addDiscovery(host);
    kit::LANDiscoverySystem* clientsDiscovery = addDiscovery(client);
    host.network->host(0, 4);
    client.network->join("127.0.0.1", host.network->peer->boundPort());
    auto both = [&](const std::function<bool()>& done) { return together(host, client, done); };
    ASSERT_TRUE(both([&] { return host.network->peer->connectionCount() == 1; }));
    host.addPlayer(0);
    client.addPlayer(1);
    client.addPlayer(2);
    ASSERT_TRUE(both([&] {
        return host.world().getEntities(kit::typeId<PlayerInfo>())->size() == 3 &&
               client.world().getEntities(kit::typeId<PlayerInfo>())->size() == 3;
    }));
    client.enterMatch();
    host.enterMatch();
    ASSERT_TRUE(
        both([&] { return count<PlanePhysics>(host.world()) == 3 && count<PlanePhysics>(client.world()) == 3; }));
    // Every copy builds every plane; each drives (and gauges) only its own.
    EXPECT_EQ(count<HealthBar>(host.world()), 1u);
    EXPECT_EQ(count<HealthBar>(client.world()), 2u);
    EXPECT_EQ(count<PlaneDecisionTree>(host.world()), 1u);
    EXPECT_EQ(count<PlaneDecisionTree>(client.world()), 2u);
    // Each player starts at a place of its own on the circle, whichever copy it is on.
    const auto planes = host.world().getEntities(kit::tagId("plane"))->toVector();
    for (std::size_t i = 0; i < planes.size(); ++i) {
        for (std::size_t j = i + 1; j < planes.size(); ++j) {
            const auto* a = host.world().getComponent<kit::Transform>(planes[i].id);
            const auto* b = host.world().getComponent<kit::Transform>(planes[j].id);
            EXPECT_GT(glm::length(a->position - b->position), 10.0f) << "two planes start on one spot";
        }
    }
    // The host tells the LAN its running match, its time left and players;
    // the joined copy tells nothing.
    ASSERT_TRUE(hostsDiscovery->match());
    EXPECT_EQ(hostsDiscovery->match()->players, 3);
    EXPECT_EQ(hostsDiscovery->match()->secondsLeft, 180);
    EXPECT_FALSE(clientsDiscovery->match());
    // The same planes in the same places on both.
    for (int i = 0; i < 60; ++i) {
        host.frame();
        client.frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(hostsDiscovery->match());
    EXPECT_EQ(hostsDiscovery->match()->secondsLeft, 179) << "whole seconds, rounded up, as the clock counts";
    EXPECT_FALSE(clientsDiscovery->match());
    for (const auto& plane : host.world().getEntities(kit::tagId("plane"))->toVector()) {
        const auto* here = host.world().getComponent<kit::Transform>(plane.id);
        const auto* there = client.world().getComponent<kit::Transform>(plane.id);
        ASSERT_NE(there, nullptr);
        // Within some frames' flight (a busy machine delivers late): the same plane, not a stranger.
        EXPECT_LT(glm::length(here->position - there->position), 30.0f);
    }
}

TEST_F(Match, AJoinedCopysClockWaitsALittleForTheHostsEnd)
{
    kit::settings::set("tuning.gameWorld.matchLength", "1");
    kit::SettingsEntryBase::refreshAll();
    auto& c = copy(0xB000);
    c.addPlayer(0);
    c.network->startAs(kit::NetworkSystem::Role::client); // joined: the host starts the match, here by hand
    c.enterMatch();
    kit::World* game = &c.world();
    c.network->callFunction(fn::startGameplay, game->systemEntity());
    int frames = 0;
    for (; frames < 400 && !c.app->pending; ++frames)
        game->update(1.0f / 60.0f);
    ASSERT_NE(c.app->pending, nullptr) << "a joined copy still ends the match itself when the host's end never comes";
    EXPECT_GE(frames, static_cast<int>((1.0f + joinedCopyGrace) * 60.0f) - 2);
    EXPECT_LE(frames, static_cast<int>((1.0f + joinedCopyGrace) * 60.0f) + 2);
}

TEST_F(Match, TheClockEndsTheMatchJustPastItsLengthAndAJoinedCopysJustPastItsGrace)
{
    kit::settings::set("tuning.gameWorld.matchLength", "1");
    kit::SettingsEntryBase::refreshAll();
    for (const bool hosting : {true, false}) {
        auto& c = copy(hosting ? 0xA100 : 0xB100);
        c.addPlayer(0);
        c.network->startAs(hosting ? kit::NetworkSystem::Role::server : kit::NetworkSystem::Role::client);
        c.enterMatch();
        kit::World* game = &c.world();
        c.network->callFunction(fn::startGameplay, game->systemEntity());
        game->update(hosting ? 1.0f : 1.0f + 2.0f); // the whole wait (a joined copy's grace: 2 s), to the float
        EXPECT_EQ(c.app->pending, nullptr) << (hosting ? "hosting" : "joined");
        game->update(1e-3f);
        EXPECT_NE(c.app->pending, nullptr) << (hosting ? "hosting" : "joined");
    }
}

TEST_F(Match, EveryCopyPlaysTheRulesItsHostToldItBeforeTheStart)
{
    kit::settings::set("tuning.gameWorld.matchLength", "1");
    kit::SettingsEntryBase::refreshAll();
    auto& c = copy(0xB200);
    c.addPlayer(0);
    c.network->startAs(kit::NetworkSystem::Role::client);
    c.enterMatch();
    kit::World* game = &c.world();
    testing::internal::CaptureStdout();
    // Out of bounds: refused, and the match is not told otherwise.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const auto& [seconds, pickups] :
         {std::pair{nan, 2}, std::pair{0.5f, 2}, std::pair{5000.0f, 2}, std::pair{300.0f, 4}, std::pair{300.0f, -1}})
        c.network->callFunction(fn::matchRules, game->systemEntity(),
                                MatchRules{seconds, static_cast<Pickups>(pickups)});
    c.network->callFunction(fn::matchRules, game->systemEntity(), MatchRules{300.0f, Pickups::off});
    c.network->callFunction(fn::startGameplay, game->systemEntity());
    // Told once the match runs: too late.
    c.network->callFunction(fn::matchRules, game->systemEntity(), MatchRules{60.0f, Pickups::many});
    game->update(1.0f / 60.0f);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(occurrences(console, "The match: "), 1u) << console;
    EXPECT_EQ(occurrences(console, "The match: free-for-all, 5 min, pick-ups off\n"), 1u) << console;
    const Timer* clock = game->single<Timer>();
    ASSERT_NE(clock, nullptr);
    EXPECT_NEAR(clock->remaining, 300.0f, 0.1f) << "the host's five minutes, not this copy's own second";
    game->update(2.0f + 2.0f);
    EXPECT_EQ(c.app->pending, nullptr) << "the match still runs past this copy's own length";
}

TEST_F(Match, AJoinedCopyFliesInItsHostsArenaItsStageMadeAgainOnlyBeforeTheStart)
{
    auto& c = copy(0xB210);
    c.addPlayer(0);
    c.network->startAs(kit::NetworkSystem::Role::client);
    c.enterMatch();
    kit::World* game = &c.world();
    const auto solids = [game] {
        std::size_t n = 0;
        for (kit::Component* body : game->getComponentCollection(kit::typeId<kit::RigidBody>())->toVector())
            n += static_cast<kit::RigidBody*>(body)->isStatic != 0.0f;
        return n;
    };
    EXPECT_EQ(&layoutOf(game), &meadow()) << "this copy's own choice until the host says";
    EXPECT_EQ(solids(), meadow().solids.size());
    c.network->callFunction(fn::matchRules, game->systemEntity(),
                            MatchRules{120.0f, Pickups::normal, Mode::freeForAll, 3, false, 1});
    EXPECT_EQ(&layoutOf(game), &canyon()) << "at once, not at the frame's end";
    EXPECT_EQ(game->getComponentCollection(kit::typeId<ArenaPlan>())->size(), 1u);
    game->update(1.0f / 60.0f);
    EXPECT_EQ(&layoutOf(game), &canyon());
    EXPECT_EQ(solids(), canyon().solids.size()) << "the meadow's walls went with its stage";
    EXPECT_EQ(game->getComponentCollection(kit::typeId<ArenaPlan>())->size(), 1u);
    const auto* camera = game->single<SideviewCameraBehavior>();
    ASSERT_NE(camera, nullptr);
    ASSERT_TRUE(camera->within);
    EXPECT_EQ(camera->within->high, canyon().openHigh);
    EXPECT_EQ(camera->within->low, canyon().openLow);
    // The view starts over the canyon's spawn circle, above the arch.
    for (kit::Component* spring : game->getComponentCollection(kit::typeId<kit::SpringAttachment>())->toVector()) {
        if (game->getComponent<kit::Camera>(spring->entityId)) {
            EXPECT_LT(glm::length(game->getComponent<kit::Transform>(spring->entityId)->position -
                                  glm::vec3(0.0f, 58.0f, 100.0f)),
                      1.0f);
        }
    }
    // The same arena again builds nothing; once the match runs, none other is taken.
    const kit::EntityID stage = game->single<ArenaPlan>()->getEntity().id;
    c.network->callFunction(fn::matchRules, game->systemEntity(),
                            MatchRules{120.0f, Pickups::normal, Mode::freeForAll, 3, false, 1});
    c.network->callFunction(fn::startGameplay, game->systemEntity());
    c.network->callFunction(fn::matchRules, game->systemEntity(),
                            MatchRules{120.0f, Pickups::normal, Mode::freeForAll, 3, false, 2});
    game->update(1.0f / 60.0f);
    EXPECT_EQ(game->single<ArenaPlan>()->getEntity().id, stage);
    EXPECT_EQ(solids(), canyon().solids.size());
    // Its plane starts at its place in the canyon, over the arch.
    const std::vector<kit::EntityHandle> planes = game->getEntities(kit::tagId(tags::plane))->toVector();
    ASSERT_EQ(planes.size(), 1u);
    const glm::vec3 at = game->getComponent<kit::Transform>(planes[0].id)->position;
    EXPECT_LT(glm::length(at - spawnPlacement(0, 1, canyon()).position), 0.5f) << "a frame's fall from it";
    EXPECT_GT(glm::length(spawnPlacement(0, 1, canyon()).position - spawnPlacement(0, 1).position), 30.0f);
    // It comes back over the arch, not under it.
    EXPECT_EQ(game->getComponent<PlayerSpawnComp>(planes[0].id)->spawnPosition, glm::vec2(0.0f, 58.0f));
}

TEST_F(Match, TheHostTellsItsRulesWithTheStartAndItsPickupsComeAsOftenAsTheySay)
{
    for (const auto& [pickups, share] : {std::pair{"0", 0.0f}, std::pair{"1", 0.5f}, std::pair{"3", 2.0f}}) {
        kit::settings::set("tuning.gameWorld.matchLength", "240");
        kit::settings::set("tuning.gameWorld.pickups", pickups);
        kit::SettingsEntryBase::refreshAll();
        auto& c = copy(pickups[0] == '0' ? 0xA300 : pickups[0] == '1' ? 0xA301 : 0xA302);
        c.addPlayer(0);
        c.addPlayer(1);
        testing::internal::CaptureStdout();
        c.enterMatch();
        c.frame();
        c.frame();
        const std::string console = testing::internal::GetCapturedStdout();
        kit::World& game = c.world();
        ASSERT_EQ(count<PlanePhysics>(game), 2u);
        const Timer* clock = game.single<Timer>();
        ASSERT_NE(clock, nullptr);
        EXPECT_NEAR(clock->remaining, 240.0f, 0.5f);
        const auto* spawner = game.single<PowerupSpawnSystem>();
        if (share == 0.0f) {
            EXPECT_EQ(spawner, nullptr) << "pick-ups off: none come";
        } else {
            ASSERT_NE(spawner, nullptr) << pickups;
            EXPECT_FLOAT_EQ(spawner->players, 2.0f * share) << "the rate of two players, times the share";
            EXPECT_EQ(spawner->centre, glm::vec2(0.0f)) << "the meadow's area of pick-ups";
            EXPECT_EQ(spawner->size, glm::vec2(168.0f, 96.0f));
        }
        const std::string said =
            "The match: free-for-all, 4 min, pick-ups " + std::string(nameOf(static_cast<Pickups>(pickups[0] - '0')));
        EXPECT_EQ(occurrences(console, said + "\n"), 1u) << console;
    }
    kit::settings::set("tuning.gameWorld.pickups", "2");
    kit::SettingsEntryBase::refreshAll();
}

TEST_F(Match, TheHostsWordOfItsMatchIsBoundedAndEndsWithTheMatch)
{
    kit::settings::set("tuning.gameWorld.matchLength", "5000"); // the rules hold a match to an hour
    kit::SettingsEntryBase::refreshAll();
    auto& c = copy(0xA000);
    kit::LANDiscoverySystem* discovery = addDiscovery(c);
    c.addPlayer(0);
    c.network->host(0, 4);
    c.enterMatch();
    kit::World* game = &c.world();
    c.frame(); // the start: no other copy to wait for
    ASSERT_TRUE(discovery->match());
    EXPECT_EQ(discovery->match()->secondsLeft, kit::Announcement::RunningMatch::longest);
    EXPECT_EQ(discovery->match()->players, 1);
    // A clock taken from another copy's word of its match may read longer
    // than an hour (a copy that watched, then hosts): the word still says an hour.
    Timer* clock = game->single<Timer>();
    ASSERT_NE(clock, nullptr);
    clock->remaining = 5000.0f;
    c.frame();
    ASSERT_TRUE(discovery->match());
    EXPECT_EQ(discovery->match()->secondsLeft, kit::Announcement::RunningMatch::longest);
    // The match ends here; its world, still run, says nothing more of it.
    c.network->callFunction(fn::endGame, game->systemEntity(), ScoreTable{});
    for (int i = 0; i < 3; ++i)
        game->update(kit::LANDiscoverySystem::matchLease / 2.0f);
    EXPECT_FALSE(discovery->match());
}

TEST_F(Match, ACopyThatLeavesTakesItsPlanesAndTheMatchGoesOn)
{
    loadTheMatch();
    kit::settings::set("tuning.gameWorld.matchLength", "3");
    kit::SettingsEntryBase::refreshAll();
    auto& host = copy(0xA000);
    auto& client = copy(0xB000);
    host.network->host(0, 4);
    client.network->join("127.0.0.1", host.network->peer->boundPort());
    auto both = [&](const std::function<bool()>& done) { return together(host, client, done); };
    ASSERT_TRUE(both([&] { return host.network->peer->connectionCount() == 1; }));
    host.addPlayer(0);
    client.addPlayer(1);
    client.addPlayer(2);
    ASSERT_TRUE(both([&] { return host.world().getEntities(kit::typeId<PlayerInfo>())->size() == 3; }));
    client.enterMatch();
    host.enterMatch();
    ASSERT_TRUE(both([&] { return count<PlanePhysics>(host.world()) == 3; }));
    kit::World* game = &host.world();

    const std::size_t spinningBefore = count<kit::ConstantRotation>(*game);
    testing::internal::CaptureStdout();
    client.network->reset(); // the client leaves mid-match
    for (int i = 0; i < 1500 && count<PlanePhysics>(*game) != 1; ++i) {
        host.frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::size_t planes = count<PlanePhysics>(*game), propellers = count<kit::ConstantRotation>(*game),
                      guns = count<BasicGun>(*game);
    // The host's own clock still ends the match.
    for (int i = 0; i < 400 && host.app->current.get() == game; ++i)
        host.frame();
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(planes, 1u);
    EXPECT_EQ(spinningBefore - propellers, 2u); // the propellers went with their planes
    EXPECT_EQ(guns, 1u);
    EXPECT_NE(host.app->current.get(), game);
    EXPECT_EQ(occurrences(console, "Copy 0000b000 left the session: its 2 planes are gone from the match\n"), 1u)
        << console;
}
