// A copy that comes to a running match to watch it: copies of the game in one
// process on the real match world; two play, another watches what they play
// from the host's word of the match on, to the same end.
#include "game/combat/HealthBar.h"
#include "game/combat/Score.h"
#include "game/flight/PlanePhysics.h"
#include "game/input/KeyBindings.h"
#include "game/lobby/ComeBack.h"
#include "game/lobby/JoinedBy.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchSoFar.h"
#include "game/match/MatchStart.h"
#include "game/match/RoundKeeper.h"
#include "game/match/Timer.h"
#include "game/match/WatchView.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Sides.h"
#include "game/powerups/InvincibilityPower.h"

#include "support/MatchSession.h"
#include "support/ShownText.h"

#include "engine/input/Keyboard.h"
#include "engine/render/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace skyscuffle;

namespace {

using test::MatchCopy;

class Watching : public test::MatchSession {
protected:
    // What each copy's match world ended with: its final table, as the win
    // screen takes it, and the points its own count had for each plane then.
    struct Ending {
        ScoreTable table;
        std::map<kit::EntityID, int> counted;
    };
    void recordEndings()
    {
        for (auto& c : copies) {
            MatchCopy* at = c.get();
            c->network->registerFunction(c->world(), fn::endGame, [this, at](kit::EntityHandle e, const ScoreTable& t) {
                Ending ending{knownPlanes(t, *e.world), {}};
                for (const kit::EntityHandle& plane : e.world->getEntities(kit::tagId("plane"))->toVector())
                    ending.counted[plane.id] = e.world->getComponent<Score>(plane.id)->points;
                endings.try_emplace(at, std::move(ending));
            });
        }
    }
    // Two copies, 0xA000 hosting and 0xB000, one pilot each, in a match of
    // that many seconds with both planes flying.
    void playMatch(const char* seconds)
    {
        tune("tuning.gameWorld.matchLength", seconds, "180");
        openSession({0xA000, 0xB000});
        copies[1]->enterMatch();
        copies[0]->enterMatch();
        ASSERT_TRUE(until([&] {
            return count<PlanePhysics>(copies[0]->world()) == 2 && count<PlanePhysics>(copies[1]->world()) == 2;
        }));
    }
    // The copy joins the session's host and watches its match.
    void comeToWatch(MatchCopy& watcher)
    {
        MatchCopy& host = *copies[0];
        watcher.network->join("127.0.0.1", host.network->peer->boundPort());
        ASSERT_TRUE(until([&] { return host.network->peers().contains(watcher.world().origin); }));
        watcher.watchMatch();
    }
    static int points(MatchCopy& c, kit::EntityID plane)
    {
        const auto* score = c.world().getComponent<Score>(plane);
        return score ? score->points : -1000;
    }
    static float timeLeft(MatchCopy& c)
    {
        const Timer* clock = c.world().single<Timer>();
        return clock ? clock->remaining : -1.0f;
    }

    std::map<MatchCopy*, Ending> endings;
};

} // namespace

TEST_F(Watching, ACopyThatComesMidMatchSeesItAsItStandsAndEndsWithTheSameTable)
{
    ASSERT_NO_FATAL_FAILURE(playMatch("7"));
    MatchCopy &host = *copies[0], &player = *copies[1];
    kit::EntityID hostsPlane, playersPlane;
    for (const kit::EntityHandle& plane : host.world().getEntities(kit::tagId("plane"))->toVector())
        (plane.id.origin == 0xA000 ? hostsPlane : playersPlane) = plane.id;
    // Points before the watcher comes: the player's copy says its plane fell to the host's.
    const int before = points(host, hostsPlane);
    player.network->callFunction(fn::addKillPoints, hostsPlane);
    player.network->callFunction(fn::addDeathPoints, playersPlane);
    ASSERT_TRUE(until([&] { return points(host, hostsPlane) >= before + 2 && timeLeft(host) < 5.5f; }));

    MatchCopy& watcher = copy(0xC000);
    kit::World* lobby = &watcher.world();
    comeToWatch(watcher);
    ASSERT_NE(&watcher.world(), lobby);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }))
        << "the host's word of its match never came";
    recordEndings();
    // Every plane, with the points the host has counted, and the host's clock.
    EXPECT_EQ(count<PlanePhysics>(watcher.world()), 2u);
    EXPECT_EQ(count<HealthBar>(watcher.world()), 2u) << "a gauge for every plane";
    // F follows each plane in id order, then everyone again.
    auto* view = watcher.world().single<WatchView>();
    ASSERT_NE(view, nullptr);
    std::vector<kit::EntityHandle> planes = watcher.world().getEntities(kit::tagId("plane"))->toVector();
    std::sort(planes.begin(), planes.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    for (const kit::EntityHandle& plane : planes) {
        view->followNext();
        EXPECT_EQ(view->following(), watcher.world().getComponent<PlayerInfo>(plane.id)->colourName);
    }
    view->followNext();
    EXPECT_EQ(view->following(), "");
    EXPECT_NEAR(timeLeft(watcher), timeLeft(host), 0.5f);
    EXPECT_GE(points(watcher, hostsPlane), before + 2);
    EXPECT_EQ(watcher.world().getEntities(kit::typeId<PlayerInfo>())->size(), 2u) << "it flies no plane of its own";
    // It holds nothing up and starts nothing.
    EXPECT_TRUE(until([&] { return host.network->peers().at(0xC000).screenName == watchingScreen; }));

    ASSERT_TRUE(until([&] { return endings.size() == 3; }, 30));
    const Ending& hosts = endings.at(&host);
    ASSERT_EQ(hosts.table.size(), 2u);
    EXPECT_EQ(endings.at(&watcher).table, hosts.table);
    EXPECT_EQ(endings.at(&player).table, hosts.table);
    // Its own count of every kill since it came agrees with the host's table.
    for (const ScoreEntry& entry : hosts.table)
        EXPECT_EQ(endings.at(&watcher).counted.at(entry.plane), entry.points);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == "winScreen"; }));
    const std::string console = said();
    EXPECT_NE(console.find("Watching: this copy"), std::string::npos);
    EXPECT_NE(console.find("Watching: 1 copy"), std::string::npos) << "the players' copies name their watcher";
}

TEST_F(Watching, AWatcherPlaysTheHostsRulesNotItsOwn)
{
    tune("tuning.gameWorld.mode", "1", "0");
    tune("tuning.gameWorld.roundsToWin", "4", "3");
    ASSERT_NO_FATAL_FAILURE(playMatch("30"));
    // Two rounds over before the watcher comes (the host's word), and their pauses.
    MatchCopy& host = *copies[0];
    for (std::int32_t round = 1; round <= 2; ++round)
        host.network->callFunction(fn::roundOver, host.world().systemEntity(), kit::EntityID{}, round, true);
    const auto showsOn = [](MatchCopy& c, const std::string& words) { return test::showsText(c.world(), words); };
    ASSERT_TRUE(until([&] { return showsOn(host, "Round 3, first to 4"); })) << "the pause never ended";
    // This process's own choice, which the watcher would play untold.
    tune("tuning.gameWorld.mode", "0", "0");
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }))
        << "the host's word of its match never came";
    EXPECT_TRUE(until([&] { return showsOn(watcher, "Round 3, first to 4"); }))
        << "the watcher plays the host's rounds, from the round it came to";
}

TEST_F(Watching, AWatcherOfATeamMatchSeesEveryPlayerOnTheHostsSide)
{
    tune("tuning.gameWorld.mode", "2", "0");
    ASSERT_NO_FATAL_FAILURE(playMatch("30"));
    MatchCopy& host = *copies[0];
    const auto planes = host.world().getEntities(kit::tagId("plane"))->toVector();
    ASSERT_EQ(planes.size(), 2u);
    const std::optional<Side> first = sideOf(host.world(), planes[0].id);
    const std::optional<Side> second = sideOf(host.world(), planes[1].id);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second) << "two players, one on each side";
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    EXPECT_TRUE(until([&] {
        return count<PlanePhysics>(watcher.world()) == 2 && sideOf(watcher.world(), planes[0].id) == first &&
               sideOf(watcher.world(), planes[1].id) == second;
    })) << "the watcher was never told the players' sides";
}

TEST_F(Watching, AWatcherThatComesAsTheMatchBeginsHoldsNothingUp)
{
    tune("tuning.gameWorld.matchLength", "30", "180");
    openSession({0xA000, 0xB000});
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    MatchCopy &host = *copies[0], &player = *copies[1];
    player.enterMatch();
    host.enterMatch();
    ASSERT_TRUE(until([&] { return count<PlanePhysics>(watcher.world()) == 2; }))
        << "the match waited for a copy that flies nothing, or the watcher was never told of it";
    EXPECT_EQ(count<PlanePhysics>(host.world()), 2u);
    EXPECT_EQ(watcher.network->screenName, watchingScreen);
}

TEST_F(Watching, AWatchersCallsAboutThePlayersPlanesAreRefusedAndGoNoFurther)
{
    ASSERT_NO_FATAL_FAILURE(playMatch("30"));
    MatchCopy &host = *copies[0], &player = *copies[1];
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }));
    std::size_t fromWatcher = 0, aboutPlanesAtPlayer = 0;
    // A kill alone is anyone's to say and scores nothing: only with the
    // death of a plane of the same copy's, which is not the watcher's to say.
    // (Its fingerprint, about itself, is its own to tell.)
    kit::ScopedConnection hostHears = host.network->accepted.connect([&](const kit::NetworkSystem::CallRun& run) {
        fromWatcher += run.caller == 0xC000u && run.name != fn::addKillPoints.name && run.name != fn::copyTicket.name;
    });
    kit::ScopedConnection playerHears = player.network->accepted.connect([&](const kit::NetworkSystem::CallRun& run) {
        aboutPlanesAtPlayer +=
            run.name == fn::matchSoFar.name || (run.name == fn::spawnBullet.name && run.about.serial >= 777000u);
    });
    const std::uint64_t dropped = host.network->traffic.callsDropped;
    // A kill for one plane and the other's death, a bullet "of" a plane, a
    // word of the match of its own: none is its to say.
    const auto ids = host.world().getEntities(kit::tagId("plane"))->toVector();
    for (unsigned i = 0; i < 20; ++i) {
        watcher.network->callFunction(fn::addKillPoints, ids[0].id);
        watcher.network->callFunction(fn::addDeathPoints, ids[1].id);
        watcher.network->callFunction(fn::spawnBullet, kit::EntityID{ids[0].id.origin, 777000u + i},
                                      "models/bullet.obj", "images/bullet.png", ids[0].id, 1.0f, 0.5f, 1.0f,
                                      glm::vec3(0.0f), glm::vec2(10.0f, 0.0f));
    }
    watcher.network->callFunction(fn::matchSoFar, watcher.world().systemEntity(), MatchSoFar{1.0f, false, {}});
    ASSERT_TRUE(until([&] { return host.network->traffic.callsDropped >= dropped + 41; }));
    // Long enough for anything relayed to have reached the player.
    until([] { return false; }, 1);
    EXPECT_EQ(fromWatcher, 0u) << "the host took a call of the watcher's";
    EXPECT_EQ(aboutPlanesAtPlayer, 0u) << "the host passed a call of the watcher's on";
    EXPECT_EQ(count<PlanePhysics>(player.world()), 2u);
}

TEST_F(Watching, AWatchersPlayerDropsInShieldedWithNoPointsAndPlaysOnEveryCopy)
{
    ASSERT_NO_FATAL_FAILURE(playMatch("6"));
    MatchCopy &host = *copies[0], &player = *copies[1];
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }));
    recordEndings();
    // The second keyboard player's join key, as bound.
    ASSERT_NE(watcher.world().keyboard, nullptr);
    watcher.world().keyboard->keyPressed(kit::Keyboard::KeyInfo{controls::key(1, controls::Action::join)});
    ASSERT_TRUE(until([&] {
        return count<PlanePhysics>(host.world()) == 3 && count<PlanePhysics>(player.world()) == 3 &&
               count<PlanePhysics>(watcher.world()) == 3;
    })) << "the dropped-in plane is not on every copy";
    kit::EntityID dropped;
    for (const kit::EntityHandle& plane : watcher.world().getEntities(kit::tagId("plane"))->toVector())
        if (plane.id.origin == 0xC000)
            dropped = plane.id;
    ASSERT_EQ(dropped.origin, 0xC000u);
    EXPECT_EQ(watcher.world().getComponent<JoinedBy>(dropped)->device, JoinedBy::secondKeyboard);
    for (MatchCopy* c : {&host, &player, &watcher}) {
        const auto* shield = c->world().getComponent<InvincibilityPower>(dropped);
        ASSERT_NE(shield, nullptr) << "no spawn shield";
        EXPECT_GT(shield->timeLeft, 0.0f);
    }
    EXPECT_EQ(watcher.network->screenName, "game") << "a copy with a plane plays";
    ASSERT_TRUE(until([&] { return count<WatchView>(watcher.world()) == 0; }));
    EXPECT_EQ(count<HealthBar>(watcher.world()), 1u) << "its own plane's gauge, as a player's copy has";
    // Its plane's kill counts on every copy: the player's copy says its own
    // plane fell to the dropped-in one.
    kit::EntityID victim;
    for (const kit::EntityHandle& plane : player.world().getEntities(kit::tagId("plane"))->toVector())
        if (plane.id.origin == 0xB000)
            victim = plane.id;
    const int before = points(host, dropped);
    player.network->callFunction(fn::addKillPoints, dropped);
    player.network->callFunction(fn::addDeathPoints, victim);
    ASSERT_TRUE(until([&] {
        return points(host, dropped) >= before + 2 && points(player, dropped) >= before + 2 &&
               points(watcher, dropped) >= before + 2;
    })) << "the dropped-in plane's kill did not count everywhere";

    ASSERT_TRUE(until([&] { return endings.size() == 3; }, 30));
    const ScoreTable& table = endings.at(&host).table;
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(endings.at(&watcher).table, table);
    EXPECT_EQ(endings.at(&player).table, table);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == "winScreen"; }));
    EXPECT_EQ(said().find("Watching: "), std::string::npos) << "a copy that dropped in played, and watched nothing";
}

TEST_F(Watching, WithDropInOffNoPlayerOfAWatcherFliesEvenIfItsCopySaysSo)
{
    tune("tuning.gameWorld.dropIn", "0", "1");
    ASSERT_NO_FATAL_FAILURE(playMatch("600"));
    MatchCopy &host = *copies[0], &player = *copies[1];
    MatchCopy& watcher = copy(0xC000);
    comeToWatch(watcher);
    ASSERT_TRUE(until([&] { return watcher.network->screenName == watchingScreen; }));
    auto* view = watcher.world().single<WatchView>();
    EXPECT_NE(view->status().find("drop-in off"), std::string::npos) << view->status();
    view->dropIn(JoinedBy::keyboard, nullptr);
    EXPECT_TRUE(watcher.world().getEntities(kit::typeId<PlayerInfo>())->size() == 2) << "nobody asked for a seat";
    // A copy that announces its player anyway is given no place...
    const kit::EntityHandle forged = watcher.addPlayer(4);
    ASSERT_TRUE(until([&] { return host.world().getComponent<PlayerInfo>(forged.id) != nullptr; }));
    until([] { return false; }, 1);
    EXPECT_EQ(count<PlanePhysics>(watcher.world()), 2u) << "the host gave a place with drop-in off";
    // ...and its plane, made all the same, is refused.
    watcher.network->callFunction(fn::spawnPlayer, forged, glm::vec3(0.0f), glm::quat(1, 0, 0, 0));
    until([] { return false; }, 1);
    EXPECT_EQ(count<PlanePhysics>(host.world()), 2u);
    EXPECT_EQ(count<PlanePhysics>(player.world()), 2u);
}

TEST_F(Watching, ACopyThatVanishedComesBackWithItsPlayersPointsOnEveryCopyOnce)
{
    tune("tuning.gameWorld.matchLength", "8", "180");
    paced = true; // a vanished copy is judged gone by the wall clock
    openSession({0xA000, 0xB000, 0xD000});
    MatchCopy &host = *copies[0], &left = *copies[1], &other = *copies[2];
    for (std::size_t i : {2u, 1u, 0u})
        copies[i]->enterMatch();
    ASSERT_TRUE(
        until([&] { return count<PlanePhysics>(host.world()) == 3 && count<PlanePhysics>(other.world()) == 3; }));
    kit::EntityID leftsPlane, othersPlane;
    for (const kit::EntityHandle& plane : host.world().getEntities(kit::tagId("plane"))->toVector()) {
        if (plane.id.origin == 0xB000)
            leftsPlane = plane.id;
        if (plane.id.origin == 0xD000)
            othersPlane = plane.id;
    }
    // The copy that will vanish scores: the other copy's plane fell to it, twice over.
    const int before = points(host, leftsPlane);
    other.network->callFunction(fn::addKillPoints, leftsPlane);
    other.network->callFunction(fn::addDeathPoints, othersPlane);
    ASSERT_TRUE(
        until([&] { return points(host, leftsPlane) == before + 2 && points(other, leftsPlane) == before + 2; }));
    const std::optional<comeBack::Note> note = comeBack::noteOf(left.world(), 0);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->port, host.network->peer->boundPort());
    ASSERT_EQ(note->players.size(), 1u);
    EXPECT_TRUE(note->players[0].computer);
    EXPECT_FALSE(comeBack::noteOf(host.world(), 0)) << "a host has nobody to come back to";

    const int had = points(host, leftsPlane);
    vanish(1);
    ASSERT_TRUE(until([&] { return !host.world().getComponent<PlanePhysics>(leftsPlane); }, 15));

    // Started again: another run, another origin, the note of the last.
    MatchCopy& back = copy(0xB100);
    comeBack::pending() = note;
    comeBack::pending()->port = host.network->peer->boundPort();
    comeToWatch(back);
    recordEndings();
    ASSERT_TRUE(until([&] {
        for (MatchCopy* c : {&host, &other, &back}) {
            std::size_t mine = 0;
            for (const kit::EntityHandle& plane : c->world().getEntities(kit::tagId("plane"))->toVector())
                mine += plane.id.origin == 0xB100 && points(*c, plane.id) == had;
            if (mine != 1)
                return false;
        }
        return true;
    })) << "the copy's plane did not come back with its points on every copy";
    EXPECT_FALSE(comeBack::pending());
    EXPECT_EQ(back.network->screenName, "game") << "it plays again";
    EXPECT_NE(said().find("A copy came back to the match with 1 player\n"), std::string::npos)
        << "the host takes back the copy's own players, and no others";

    // Its secret serves once: another copy saying it again is refused.
    const std::uint64_t dropped = host.network->traffic.callsDropped;
    other.network->callFunction(fn::comeBack, other.world().systemEntity(), std::uint32_t(note->secret >> 32),
                                std::uint32_t(note->secret));
    ASSERT_TRUE(until([&] { return host.network->traffic.callsDropped > dropped; }));

    ASSERT_TRUE(
        until([&] { return endings.contains(&host) && endings.contains(&other) && endings.contains(&back); }, 30));
    const ScoreTable& table = endings.at(&host).table;
    EXPECT_EQ(table.size(), 3u);
    EXPECT_EQ(endings.at(&other).table, table);
    EXPECT_EQ(endings.at(&back).table, table);
    for (const ScoreEntry& entry : table)
        EXPECT_EQ(endings.at(&back).counted.at(entry.plane), entry.points);
}

TEST_F(Watching, AClaimToBeACopyThatStillPlaysTakesNothingFromIt)
{
    ASSERT_NO_FATAL_FAILURE(playMatch("600"));
    MatchCopy &host = *copies[0], &player = *copies[1];
    // Another copy of the same player, on the same machine, reads the note of
    // the one that plays (one process: one secret, the same fingerprints).
    const std::optional<comeBack::Note> note = comeBack::noteOf(player.world(), 0);
    ASSERT_TRUE(note);
    MatchCopy& claimant = copy(0xC000);
    comeBack::pending() = note;
    comeToWatch(claimant);
    ASSERT_TRUE(until([&] { return claimant.network->screenName == watchingScreen; }));
    until([] { return false; }, 1);
    EXPECT_EQ(count<PlanePhysics>(host.world()), 2u) << "the copy that still plays lost its plane";
    EXPECT_TRUE(host.network->peers().contains(0xB000));
    std::size_t own = 0;
    for (const kit::EntityHandle& e : claimant.world().getEntities(kit::typeId<PlayerInfo>())->toVector())
        own += claimant.world().owns(e.id);
    EXPECT_EQ(own, 0u) << "the claimant made players it was not given back";
}

TEST_F(Watching, AMatchTakesAsManyWatchersAsItsHostAllowsAndTurnsTheNextAway)
{
    tune("tuning.gameWorld.watchers", "1", "8");
    ASSERT_NO_FATAL_FAILURE(playMatch("600"));
    MatchCopy& host = *copies[0];
    MatchCopy& first = copy(0xC000);
    comeToWatch(first);
    ASSERT_TRUE(until([&] { return host.network->peers().at(0xC000).screenName == watchingScreen; }));
    said();
    MatchCopy& second = copy(0xD000);
    comeToWatch(second);
    kit::World* watchWorld = &second.world();
    ASSERT_TRUE(until([&] { return &second.world() != watchWorld; }, 10)) << "the second watcher was not turned away";
    EXPECT_EQ(count<PlanePhysics>(second.world()), 0u) << "it saw nothing of the match";
    EXPECT_NE(said().find("This match has all the watchers it takes: back to the menu"), std::string::npos);
    EXPECT_EQ(first.network->screenName, watchingScreen) << "the first watcher watches on";
    EXPECT_EQ(count<PlanePhysics>(first.world()), 2u);
}
