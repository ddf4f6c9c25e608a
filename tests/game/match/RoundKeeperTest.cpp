// Last plane standing on the real match world: rounds without respawn, the
// winner's point, the next round on the spawn circle, the end of the match,
// the clock's end, and what a copy may say of a round.
#include "game/match/RoundKeeper.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/combat/Health.h"
#include "game/combat/Score.h"
#include "game/common/Tags.h"
#include "game/looks/LookSettings.h"
#include "game/match/MatchFunctions.h"
#include "game/match/MatchRules.h"
#include "game/match/MatchSettings.h"
#include "game/match/PlayerSpawnComp.h"
#include "game/match/Rounds.h"
#include "game/match/SpawnCircle.h"
#include "game/match/Timer.h"
#include "game/players/PlayerInfo.h"

#include "MatchFixture.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/physics/Body.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/SpringAttachment.h"
#include "engine/physics/Transform.h"
#include "engine/render/Camera.h"
#include "engine/render/Text.h"
#include "support/ShownText.h"

#include <gtest/gtest.h>

#include <functional>

#include <glm/geometric.hpp>

using namespace skyscuffle;
using test::Match;
using test::occurrences;

namespace {

class LastPlaneStanding : public Match {
protected:
    void SetUp() override
    {
        Match::SetUp();
        setRule(matchSettings::mode.key(), "1");
        setRule(matchSettings::roundsToWin.key(), "2");
        setRule(matchSettings::matchLength.key(), "30");
    }
    void TearDown() override
    {
        setRule(matchSettings::mode.key(), "0");
        setRule(matchSettings::roundsToWin.key(), "3");
        setRule(matchSettings::arena.key(), "0");
        Match::TearDown();
    }
    static void setRule(const std::string& key, const std::string& value)
    {
        kit::settings::set(key, value);
        kit::SettingsEntryBase::refreshAll();
    }
    // A copy of three computer pilots in its match.
    test::MatchCopy& threePlanes()
    {
        auto& c = copy(0xA000);
        for (int colour = 0; colour < 3; ++colour)
            c.addPlayer(colour);
        c.enterMatch();
        c.frame();
        return c;
    }
    static std::vector<kit::EntityHandle> planesOf(test::MatchCopy& c)
    {
        return c.world().getEntities(kit::tagId("plane"))->toVector();
    }
    // Shot down by `by` through the kill's and death's calls, shield or not.
    static void shootDown(test::MatchCopy& c, kit::EntityHandle plane, kit::EntityHandle by)
    {
        c.world().destroyComponents(plane.id, kit::tagId(tags::invincibilityPower));
        c.world().getComponent<Health>(plane.id)->damage(by, 100.0f);
        ASSERT_TRUE(c.world().getComponent<Health>(plane.id)->isDead());
    }
    static void run(test::MatchCopy& c, float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 60.0f)
            c.frame();
    }
    static std::string hud(test::MatchCopy& c) { return test::shownText(c.world()); }
    // The game camera: the one that hangs on a spring.
    static kit::Transform* gameCamera(test::MatchCopy& c)
    {
        const kit::Component* spring = c.world().getComponentCollection(kit::typeId<kit::SpringAttachment>())->first();
        return spring ? c.world().getComponent<kit::Transform>(spring->entityId) : nullptr;
    }
    static int pointsOf(test::MatchCopy& c, kit::EntityHandle plane)
    {
        return c.world().getComponent<Score>(plane.id)->points;
    }
};

} // namespace

TEST_F(LastPlaneStanding, TheLastPlaneFlyingWinsTheRoundAndEveryPlaneStartsTheNext)
{
    setRule(matchSettings::arena.key(), "2"); // in the harbour
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    ASSERT_EQ(planes.size(), 3u);
    EXPECT_NE(hud(c).find("Round 1, first to 2\n"), std::string::npos) << hud(c);
    testing::internal::CaptureStdout();
    shootDown(c, planes[0], planes[2]);
    run(c, 0.5f);
    EXPECT_EQ(pointsOf(c, planes[0]), 0) << "a death costs nothing: points are rounds won";
    shootDown(c, planes[1], planes[2]);
    c.frame();
    c.frame();
    EXPECT_EQ(pointsOf(c, planes[2]), 1);
    EXPECT_EQ(pointsOf(c, planes[1]), 0);
    const std::string winner = c.world().getComponent<PlayerInfo>(planes[2].id)->colourName;
    EXPECT_NE(hud(c).find(winner + " wins round 1\n"), std::string::npos) << hud(c);
    EXPECT_NE(hud(c).find("Round 1, first to 2\n"), std::string::npos) << "the round just over, through the pause";
    // The wrecks stay down through the pause, past a respawn's delay.
    run(c, Health::respawnSeconds + 0.5f);
    EXPECT_TRUE(c.world().getComponent<Health>(planes[0].id)->isDead());
    EXPECT_TRUE(c.world().getComponent<Health>(planes[1].id)->isDead());
    EXPECT_EQ(pointsOf(c, planes[2]), 1) << "one round, one point";
    // Out of play: out of the camera's frame, and nothing meets them.
    EXPECT_FALSE(c.world().entityHasTag(planes[0].id, kit::tagId("cameraFocus")));
    EXPECT_TRUE(c.world().entityHasTag(planes[2].id, kit::tagId("cameraFocus")));
    EXPECT_FALSE(c.world().getComponent<kit::CircleCollider>(planes[0].id)->enabled);
    EXPECT_TRUE(c.world().getComponent<kit::CircleCollider>(planes[2].id)->enabled);
    // The next round: every plane on its place of the circle, the clock full.
    gameCamera(c)->position = glm::vec3(60.0f, 40.0f, 50.0f); // wherever the last round left it
    run(c, roundPause - Health::respawnSeconds - 0.45f);
    for (std::size_t i = 0; i < planes.size(); ++i) {
        EXPECT_FALSE(c.world().getComponent<Health>(planes[i].id)->isDead()) << i;
        const glm::vec3 start = spawnPlacement(static_cast<int>(i), 3, harbour()).position;
        EXPECT_LT(glm::length(c.world().getComponent<kit::Transform>(planes[i].id)->position - start), 5.0f) << i;
    }
    EXPECT_NEAR(c.world().single<Timer>()->remaining, 30.0f, 0.2f);
    EXPECT_LT(glm::length(gameCamera(c)->position - glm::vec3(0, 14, 100)), 5.0f)
        << "the camera cut back to the whole circle, over the harbour's spawn centre";
    c.frame();
    for (const kit::EntityHandle& plane : planes) {
        EXPECT_TRUE(c.world().entityHasTag(plane.id, kit::tagId("cameraFocus"))) << "back in the frame";
        EXPECT_TRUE(c.world().getComponent<kit::CircleCollider>(plane.id)->enabled);
    }
    EXPECT_NE(hud(c).find("Round 2, first to 2\n"), std::string::npos) << hud(c);
    EXPECT_EQ(hud(c).find("wins round"), std::string::npos) << "the last round's word is gone";

    // The second round won by the same plane wins the match: its table, once.
    shootDown(c, planes[0], planes[2]);
    shootDown(c, planes[1], planes[2]);
    run(c, 0.1f);
    EXPECT_NE(hud(c).find(winner + " wins the match!\n"), std::string::npos) << hud(c);
    EXPECT_EQ(c.app->pending, nullptr) << "the banner is shown before the win screen";
    run(c, roundPause);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(occurrences(console, "Round 1: " + winner + " wins\n"), 1u) << console;
    EXPECT_EQ(occurrences(console, "Round 2: " + winner + " wins\n"), 1u) << console;
    EXPECT_EQ(occurrences(console, "DEADED"), 0u) << "no kill or death points";
    EXPECT_EQ(occurrences(console, "KILL"), 0u) << "no kill or death points";
    EXPECT_NE(c.app->current.get(), nullptr);
    EXPECT_EQ(c.world().getEntities(kit::tagId("plane"))->size(), 0u) << "the win screen follows";
    EXPECT_NE(hud(c).find("rounds won\n"), std::string::npos) << hud(c);
}

TEST_F(LastPlaneStanding, AtTheClocksEndTheMostHealthWinsTheRound)
{
    setRule(matchSettings::matchLength.key(), "2");
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    c.world().getComponent<Health>(planes[0].id)->currentHealth = 6.0f;
    c.world().getComponent<Health>(planes[2].id)->currentHealth = 4.0f;
    testing::internal::CaptureStdout();
    run(c, 1.5f);
    EXPECT_EQ(pointsOf(c, planes[1]), 0) << "not before the clock's end";
    run(c, 1.0f);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(pointsOf(c, planes[1]), 1);
    EXPECT_EQ(pointsOf(c, planes[0]) + pointsOf(c, planes[2]), 0);
    const std::string winner = c.world().getComponent<PlayerInfo>(planes[1].id)->colourName;
    EXPECT_EQ(occurrences(console, "Round 1: " + winner + " wins on time\n"), 1u) << console;
    EXPECT_NE(hud(c).find("Time: the most health wins\n"), std::string::npos) << hud(c);
}

// At twice the text size the line that says the clock ended the round
// stands clear under the banner.
TEST_F(LastPlaneStanding, AtTwiceTheTextSizeTheTimesLineStandsClearUnderTheBanner)
{
    setRule(lookSettings::textSize.key(), "200");
    setRule(matchSettings::matchLength.key(), "2");
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    c.world().getComponent<Health>(planes[0].id)->currentHealth = 6.0f;
    c.world().getComponent<Health>(planes[2].id)->currentHealth = 4.0f;
    run(c, 1.5f);
    run(c, 1.0f);
    const kit::Text* banner = nullptr;
    const kit::Text* time = nullptr;
    for (kit::Component* part : c.world().getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
        const auto* text = static_cast<kit::Text*>(part);
        if (text->text().find("wins round") != std::string::npos && (!banner || text->origin.y < banner->origin.y))
            banner = text;
        if (text->text() == "Time: the most health wins")
            time = text;
    }
    setRule(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
    ASSERT_NE(banner, nullptr) << hud(c);
    ASSERT_NE(time, nullptr) << hud(c);
    EXPECT_FLOAT_EQ(time->glyphSize, 0.1f);
    EXPECT_GE(banner->origin.y - (time->origin.y + time->glyphSize), 0.05f) << "a gap under the banner's last line";
}

TEST_F(LastPlaneStanding, ARoundIsOverOnceAndOnlyTheNextOneCanEnd)
{
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    kit::NetworkSystem& network = *c.network;
    const kit::EntityHandle host{c.world().systemEntity(), &c.world()};
    network.callFunction(fn::roundOver, host, planes[1].id, 0, false);  // before the first
    network.callFunction(fn::roundOver, host, planes[1].id, 99, false); // beyond the last (4 x 2)
    network.callFunction(fn::roundOver, host, planes[1].id, 9, false);
    EXPECT_EQ(pointsOf(c, planes[1]), 0);
    network.callFunction(fn::roundOver, host, planes[1].id, 8, false); // the last there can be: taken
    EXPECT_EQ(pointsOf(c, planes[1]), 1);
    network.callFunction(fn::roundOver, host, planes[1].id, 8, false); // over already
    network.callFunction(fn::roundOver, host, planes[0].id, 3, false);
    EXPECT_EQ(pointsOf(c, planes[1]), 1);
    EXPECT_EQ(pointsOf(c, planes[0]), 0);
    // A winner that is no plane: nobody won it. After the most rounds the match ends.
    auto& other = copy(0xB000);
    other.addPlayer(0);
    other.addPlayer(1);
    other.enterMatch();
    other.frame();
    const kit::EntityHandle otherHost{other.world().systemEntity(), &other.world()};
    other.network->callFunction(fn::roundOver, otherHost, kit::EntityID{0x1234, 5}, 1, true);
    for (const kit::EntityHandle& plane : planesOf(other))
        EXPECT_EQ(pointsOf(other, plane), 0);
    EXPECT_NE(hud(other).find("Nobody wins round 1\n"), std::string::npos) << hud(other);
    EXPECT_NE(hud(other).find("Time: nobody leads\n"), std::string::npos) << hud(other);
}

TEST_F(LastPlaneStanding, AMatchOfRoundsThatNobodyWinsEndsAfterTheMostRounds)
{
    auto& c = threePlanes();
    const kit::EntityHandle host{c.world().systemEntity(), &c.world()};
    for (int round = 1; round <= mostRounds(2); ++round) {
        c.network->callFunction(fn::roundOver, host, kit::EntityID{}, round, true);
        run(c, roundPause + 0.1f);
        if (round < mostRounds(2)) {
            ASSERT_EQ(c.world().getEntities(kit::tagId("plane"))->size(), 3u) << "ended after round " << round;
        }
    }
    c.frame();
    EXPECT_EQ(c.world().getEntities(kit::tagId("plane"))->size(), 0u) << "the win screen after the last round";
}

TEST_F(LastPlaneStanding, ComputerPilotsPlaySafeWhenThreeAreLeftFlying)
{
    auto& c = copy(0xA000);
    for (int colour = 0; colour < 4; ++colour)
        c.addPlayer(colour);
    c.enterMatch();
    c.frame();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    ASSERT_EQ(planes.size(), 4u);
    const auto cautious = [&] {
        int n = 0;
        for (const kit::EntityHandle& plane : planes)
            n += c.world().getComponent<ArtificialIntelligence>(plane.id)->cautious;
        return n;
    };
    EXPECT_EQ(cautious(), 0) << "four flying";
    shootDown(c, planes[0], planes[1]);
    c.frame();
    EXPECT_EQ(cautious(), 4) << "three left";
    shootDown(c, planes[1], planes[2]);
    c.frame();
    EXPECT_EQ(cautious(), 0) << "two left fight it out";
}

TEST_F(LastPlaneStanding, AFreeForAllHasNoRounds)
{
    setRule(matchSettings::mode.key(), "0");
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    shootDown(c, planes[0], planes[2]);
    shootDown(c, planes[1], planes[2]);
    run(c, Health::respawnSeconds + 0.5f);
    EXPECT_FALSE(c.world().getComponent<Health>(planes[0].id)->isDead()) << "a wreck respawns";
    EXPECT_EQ(pointsOf(c, planes[0]), -1);
    EXPECT_EQ(pointsOf(c, planes[2]), 4) << "two kills";
    EXPECT_EQ(hud(c).find("Round"), std::string::npos);
    EXPECT_FALSE(c.world().getComponent<ArtificialIntelligence>(planes[2].id)->cautious);
    c.network->callFunction(fn::roundOver, kit::EntityHandle{c.world().systemEntity(), &c.world()}, planes[2].id, 1,
                            false);
    EXPECT_EQ(pointsOf(c, planes[2]), 4) << "no round to win";
}

TEST_F(LastPlaneStanding, TwoCopiesPlayTheHostsRoundsToOneTable)
{
    setRule(matchSettings::roundsToWin.key(), "1");
    loadTheMatch();
    auto& host = copy(0xA000);
    auto& client = copy(0xB000);
    host.network->host(0, 4);
    client.network->join("127.0.0.1", host.network->peer->boundPort());
    auto both = [&](const std::function<bool()>& done) { return together(host, client, done); };
    ASSERT_TRUE(both([&] { return host.network->peer->connectionCount() == 1; }));
    const kit::EntityHandle hosts = host.addPlayer(0);
    const kit::EntityHandle clients = client.addPlayer(1);
    ASSERT_TRUE(both([&] {
        return host.world().getEntities(kit::typeId<PlayerInfo>())->size() == 2 &&
               client.world().getEntities(kit::typeId<PlayerInfo>())->size() == 2;
    }));
    client.enterMatch();
    host.enterMatch();
    ASSERT_TRUE(both([&] { return planesOf(host).size() == 2 && planesOf(client).size() == 2; }));
    // The client's own plane goes down on its copy; the host sees it and judges.
    kit::World* clientsWorld = &client.world();
    const kit::EntityHandle clientsPlane{clients.id, clientsWorld};
    shootDown(client, clientsPlane, kit::EntityHandle{hosts.id, clientsWorld});
    ASSERT_TRUE(both([&] {
        const auto* a = host.world().getComponent<Score>(hosts.id);
        const auto* b = client.world().getComponent<Score>(hosts.id);
        return a && b && a->points == 1 && b->points == 1;
    })) << "the host's plane won the round on both copies";
    EXPECT_EQ(client.world().getComponent<Score>(clients.id)->points, 0);
    const std::string winner = host.world().getComponent<PlayerInfo>(hosts.id)->colourName;
    EXPECT_NE(hud(client).find(winner + " wins the match!\n"), std::string::npos) << hud(client);
    // Then the host ends it: both copies show the win screen.
    ASSERT_TRUE(both([&] { return planesOf(host).empty() && planesOf(client).empty(); }));
    EXPECT_NE(hud(host).find("rounds won\n"), std::string::npos);
    EXPECT_NE(hud(client).find("rounds won\n"), std::string::npos);
}

TEST_F(LastPlaneStanding, AWreckFallsBeforeItIsHeldAndFliesAgainWhateverBringsItBack)
{
    auto& c = threePlanes();
    const std::vector<kit::EntityHandle> planes = planesOf(c);
    shootDown(c, planes[0], planes[1]);
    c.frame();
    EXPECT_FALSE(c.world().entityHasTag(planes[0].id, kit::tagId("cameraFocus"))) << "out of the frame at once";
    EXPECT_TRUE(c.world().getComponent<kit::CircleCollider>(planes[0].id)->enabled)
        << "still falling: it meets the floor";
    run(c, Health::respawnSeconds + 0.1f);
    ASSERT_FALSE(c.world().getComponent<kit::CircleCollider>(planes[0].id)->enabled);
    // Brought back by its copy's word (as another copy's plane is), not by this copy's round.
    c.world().getComponent<Health>(planes[0].id)->restore();
    c.frame();
    EXPECT_TRUE(c.world().getComponent<kit::CircleCollider>(planes[0].id)->enabled);
    EXPECT_TRUE(c.world().getComponent<kit::Body>(planes[0].id)->enabled);
    EXPECT_TRUE(c.world().entityHasTag(planes[0].id, kit::tagId("cameraFocus")));
}

TEST_F(LastPlaneStanding, ACopyThatComesLateTakesTheRoundsOverSoFarWithinTheMatch)
{
    auto& c = copy(0xA000);
    c.addPlayer(0);
    c.network->startAs(kit::NetworkSystem::Role::client); // its host starts the match
    c.enterMatch();
    kit::World* game = &c.world();
    const kit::EntityHandle host{game->systemEntity(), game};
    c.network->callFunction(fn::roundsSoFar, host, -1);
    c.network->callFunction(fn::roundsSoFar, host, 9); // first to 2: eight rounds at most
    c.network->callFunction(fn::roundsSoFar, host, 8); // the last there is
    c.network->callFunction(fn::roundsSoFar, host, 99);
    c.network->callFunction(fn::startGameplay, host);
    c.network->callFunction(fn::roundsSoFar, host, 7); // the match has started: too late
    c.frame();
    EXPECT_NE(hud(c).find("Round 9, first to 2\n"), std::string::npos) << hud(c);
}
