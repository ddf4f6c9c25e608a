#include "game/match/MatchRules.h"
#include "game/match/MatchReplay.h"
#include "game/match/MatchSettings.h"
#include "game/match/MatchStart.h"
#include "game/match/SpawnCircle.h"
#include "game/match/Timer.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include <glm/geometric.hpp>

using namespace skyscuffle;

namespace {

glm::vec3 nose(const SpawnPlacement& s)
{
    return s.rotation * glm::vec3(0, 0, 1);
}

} // namespace

TEST(SpawnCircle, FourPlayersStartClockwiseFromTheRightFacingAway)
{
    const float r = 120.0f / (2.0f * 3.14159265f);
    const glm::vec3 expected[4] = {{r, 0, 0}, {0, -r, 0}, {-r, 0, 0}, {0, r, 0}};
    const float noseX[4] = {1, 1, -1, -1}; // 90 degrees counts as right-facing, 270 does not
    for (int i = 0; i < 4; ++i) {
        const SpawnPlacement s = spawnPlacement(i, 4);
        EXPECT_NEAR(s.position.x, expected[i].x, 1e-3f) << i;
        EXPECT_NEAR(s.position.y, expected[i].y, 1e-3f) << i;
        EXPECT_EQ(s.position.z, 0.0f);
        EXPECT_NEAR(nose(s).x, noseX[i], 1e-5f) << i;
        EXPECT_NEAR((s.rotation * glm::vec3(0, 1, 0)).y, 1.0f, 1e-5f); // upright
    }
    EXPECT_NEAR(r, 19.1f, 0.01f);
}

TEST(SpawnCircle, TwoPlayersFaceAwayFromEachOther)
{
    const SpawnPlacement a = spawnPlacement(0, 2), b = spawnPlacement(1, 2);
    EXPECT_NEAR(a.position.x, 9.549f, 1e-3f);
    EXPECT_NEAR(b.position.x, -9.549f, 1e-3f);
    EXPECT_NEAR(b.position.y, 0.0f, 1e-3f);
    EXPECT_NEAR(nose(a).x, 1.0f, 1e-5f);
    EXPECT_NEAR(nose(b).x, -1.0f, 1e-5f);
    EXPECT_EQ(spawnPlacement(0, 1).position, glm::vec3(30.0f / (2.0f * 3.14159265f), 0, 0));
    EXPECT_EQ(spawnPlacement(0, 0).position, glm::vec3(0.0f)); // nobody: nothing to place
}

TEST(MatchClock, ShowsMinutesAndTwoDigitSeconds)
{
    EXPECT_EQ(Timer::format(125.4f), " 2:05");
    EXPECT_EQ(Timer::format(180.0f), " 3:00");
    EXPECT_EQ(Timer::format(59.99f), " 0:59");
    EXPECT_EQ(Timer::format(0.0f), " 0:00");
    EXPECT_EQ(Timer::format(-3.0f), " 0:00");
    EXPECT_EQ(Timer::format(3600.0f), "60:00");
}

TEST(Gauges, UpToFourKeepTheirPlacesAndSixStillFitA4To3Window)
{
    for (int j = 0; j < 4; ++j)
        EXPECT_FLOAT_EQ(gaugePlace(j, 4), static_cast<float>(j) * 0.5f - 0.75f) << j;
    EXPECT_FLOAT_EQ(gaugePlace(0, 1), -0.75f);
    // On a 4:3 window the half-width is 4/3 and a gauge 0.4 wide: every one
    // of six lies wholly inside, in order, without overlapping its neighbour.
    const float r = 4.0f / 3.0f, half = 0.2f;
    for (int count : {5, 6}) {
        for (int j = 0; j < count; ++j) {
            const float x = gaugePlace(j, count) * r;
            EXPECT_GE(x - half, -r) << j << " of " << count;
            EXPECT_LE(x + half, r) << j << " of " << count;
            if (j > 0) {
                EXPECT_GE(x - gaugePlace(j - 1, count) * r, 2.0f * half) << j << " of " << count;
            }
        }
    }
}

namespace {

// The player's choices start as none and are undone after the test, in the
// player's file too (the steps keep them there, and the suite's tests share it).
struct ChosenRules : ::testing::Test {
    void SetUp() override { forget(); }
    void TearDown() override { forget(); }
    static void forget()
    {
        for (const std::string& key : {matchSettings::matchLength.key(), matchSettings::pickups.key()}) {
            kit::settings::clearPlayer(key);
            kit::settings::clearForRun(key);
        }
        kit::settings::keepPlayerChoices();
        kit::SettingsEntryBase::refreshAll();
    }
};

} // namespace

TEST(MatchRules, OnlyRulesWithinBoundsAreTakenFromAnotherCopy)
{
    EXPECT_EQ(receivedRules(300.0f, 1), (MatchRules{300.0f, Pickups::few}));
    EXPECT_EQ(receivedRules(1.0f, 0), (MatchRules{1.0f, Pickups::off}));
    EXPECT_EQ(receivedRules(3600.0f, 3), (MatchRules{3600.0f, Pickups::many}));
    for (const float seconds :
         {0.99f, 3600.5f, -60.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        EXPECT_FALSE(receivedRules(seconds, 2)) << seconds;
    for (const std::int32_t pickups : {-1, 4, 255, std::numeric_limits<std::int32_t>::min()})
        EXPECT_FALSE(receivedRules(180.0f, pickups)) << pickups;
}

TEST(MatchRules, PickupsComeAtTheirShareOfTheUsualRateAndAreNamed)
{
    EXPECT_EQ(pickupShare(Pickups::off), 0.0f);
    EXPECT_EQ(pickupShare(Pickups::few), 0.5f);
    EXPECT_EQ(pickupShare(Pickups::normal), 1.0f);
    EXPECT_EQ(pickupShare(Pickups::many), 2.0f);
    EXPECT_EQ(describe(MatchRules{}), "3 min, pick-ups normal");
    EXPECT_EQ(describe(MatchRules{600.0f, Pickups::many}), "10 min, pick-ups many");
    EXPECT_EQ(describe(MatchRules{45.0f, Pickups::off}), "0:45, pick-ups off");
    EXPECT_EQ(describe(MatchRules{605.2f, Pickups::few}), "10:05, pick-ups few");
}

TEST_F(ChosenRules, TheJoinScreenStepsGoRoundAndAreKeptAsThePlayersChoice)
{
    EXPECT_EQ(chosenRules(), MatchRules{}) << "three minutes of normal pick-ups unless chosen";
    chooseNextLength();
    EXPECT_EQ(chosenRules().seconds, 240.0f);
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::matchLength.key()));
    for (int i = 0; i < 6; ++i)
        chooseNextLength();
    EXPECT_EQ(chosenRules().seconds, 600.0f) << "ten minutes at most";
    chooseNextLength();
    EXPECT_EQ(chosenRules().seconds, 60.0f) << "then round to one";
    // A length set by hand goes on to the next whole minute.
    kit::settings::setPlayer(matchSettings::matchLength.key(), "45");
    kit::SettingsEntryBase::refreshAll();
    chooseNextLength();
    EXPECT_EQ(chosenRules().seconds, 60.0f);

    const Pickups order[] = {Pickups::many, Pickups::off, Pickups::few, Pickups::normal};
    for (const Pickups expected : order) {
        chooseNextPickups();
        EXPECT_EQ(chosenRules().pickups, expected);
    }
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::pickups.key()));
    // A length beyond an hour is played as an hour.
    kit::settings::setPlayer(matchSettings::matchLength.key(), "100000");
    kit::SettingsEntryBase::refreshAll();
    EXPECT_EQ(chosenRules().seconds, longestMatch);
}

TEST(MatchRules, AReplayKeepsTheRulesTheMatchWasPlayedBy)
{
    kit::World world;
    const auto valueOf = [](const kit::ReplayHeader& header, const std::string& key) {
        for (const auto& [k, v] : header.settings)
            if (k == key)
                return v;
        return std::string("(none)");
    };
    const kit::ReplayHeader hosts = matchReplayHeader(world, {}, MatchRules{300.0f, Pickups::few});
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.matchLength"), "300");
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.pickups"), "1");
    // No word from a host: this copy's own choice.
    const kit::ReplayHeader own = matchReplayHeader(world, {});
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.matchLength"), "180");
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.pickups"), "2");
}

TEST(MatchSettings, RemotePlanesGlideByTheMeasuredDefaults)
{
    // Measured at internet delay: a faster or slower blend, or a lower cap,
    // shows remote planes further from where they are (see the view table).
    EXPECT_FLOAT_EQ(matchSettings::glideSeconds.value(), 0.04f);
    EXPECT_FLOAT_EQ(matchSettings::correctionSpeed.value(), 500.0f);
    EXPECT_FLOAT_EQ(matchSettings::snapDistance.value(), 30.0f);
}
