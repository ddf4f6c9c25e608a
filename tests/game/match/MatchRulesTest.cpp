#include "game/match/MatchRules.h"
#include "game/match/MatchReplay.h"
#include "game/match/MatchSettings.h"
#include "game/match/MatchStart.h"
#include "game/match/SpawnCircle.h"
#include "game/match/Timer.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"

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
        // The last one's score, four glyphs 0.1 high right of the gauge's
        // middle (the first one advance in), ends inside the window too.
        const float scoreRight = gaugePlace(count - 1, count) * r + 0.013f + 5.0f * 0.1f * 34.0f / 64.0f;
        EXPECT_LE(scoreRight, r) << count;
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
        for (const std::string& key :
             {matchSettings::matchLength.key(), matchSettings::pickups.key(), matchSettings::mode.key(),
              matchSettings::roundsToWin.key(), matchSettings::friendlyFire.key(), matchSettings::arena.key()}) {
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
    const auto said = [](float seconds, std::int32_t pickups, std::int32_t mode = 0, std::int32_t rounds = 3) {
        return receivedRules(MatchRules{seconds, static_cast<Pickups>(pickups), static_cast<Mode>(mode), rounds});
    };
    EXPECT_EQ(said(300.0f, 1), (MatchRules{300.0f, Pickups::few}));
    EXPECT_EQ(said(1.0f, 0), (MatchRules{1.0f, Pickups::off}));
    EXPECT_EQ(said(3600.0f, 3), (MatchRules{3600.0f, Pickups::many}));
    EXPECT_EQ(said(60.0f, 2, 1, 1), (MatchRules{60.0f, Pickups::normal, Mode::lastPlaneStanding, 1}));
    EXPECT_EQ(said(60.0f, 2, 1, 9), (MatchRules{60.0f, Pickups::normal, Mode::lastPlaneStanding, 9}));
    for (const float seconds :
         {0.99f, 3600.5f, -60.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        EXPECT_FALSE(said(seconds, 2)) << seconds;
    for (const std::int32_t pickups : {-1, 4, 255, std::numeric_limits<std::int32_t>::min()})
        EXPECT_FALSE(said(180.0f, pickups)) << pickups;
    EXPECT_EQ(said(60.0f, 0, 2, 3), (MatchRules{60.0f, Pickups::off, Mode::teams, 3}));
    for (const std::int32_t mode : {-1, 3, 7, std::numeric_limits<std::int32_t>::max()})
        EXPECT_FALSE(said(180.0f, 2, mode)) << mode;
    for (const std::int32_t rounds : {0, -1, 10, std::numeric_limits<std::int32_t>::min()})
        EXPECT_FALSE(said(180.0f, 2, 1, rounds)) << rounds;
    // The arenas by number: the meadow, the canyon, the harbour, and no other.
    for (const std::int32_t arena : {0, 1, 2}) {
        const MatchRules rules{60.0f, Pickups::few, Mode::teams, 3, false, arena};
        EXPECT_EQ(receivedRules(rules), rules) << arena;
    }
    for (const std::int32_t arena : {-1, 3, 1000, std::numeric_limits<std::int32_t>::min()})
        EXPECT_FALSE(receivedRules(MatchRules{60.0f, Pickups::few, Mode::teams, 3, false, arena})) << arena;
}

TEST(MatchRules, TravelAsOneArgumentThatReadsBackAsWritten)
{
    MatchRules sent{75.0f, Pickups::many, Mode::lastPlaneStanding, 4, true, 2};
    kit::NetStream stream;
    serialize(stream, sent);
    kit::NetStream reader(stream.data(), stream.bytesUsed());
    MatchRules read;
    serialize(reader, read);
    EXPECT_EQ(read, sent);
    // A mode no copy knows reads as said, for receivedRules to refuse.
    MatchRules odd{75.0f, Pickups::few, static_cast<Mode>(9), 2};
    kit::NetStream oddStream;
    serialize(oddStream, odd);
    kit::NetStream oddReader(oddStream.data(), oddStream.bytesUsed());
    MatchRules oddRead;
    serialize(oddReader, oddRead);
    EXPECT_EQ(static_cast<int>(oddRead.mode), 9);
    EXPECT_FALSE(receivedRules(oddRead));
}

TEST(MatchRules, PickupsComeAtTheirShareOfTheUsualRateAndAreNamed)
{
    EXPECT_EQ(pickupShare(Pickups::off), 0.0f);
    EXPECT_EQ(pickupShare(Pickups::few), 0.5f);
    EXPECT_EQ(pickupShare(Pickups::normal), 1.0f);
    EXPECT_EQ(pickupShare(Pickups::many), 2.0f);
    EXPECT_EQ(describe(MatchRules{}), "free-for-all, 3 min, pick-ups normal");
    EXPECT_EQ(describe(MatchRules{600.0f, Pickups::many}), "free-for-all, 10 min, pick-ups many");
    EXPECT_EQ(describe(MatchRules{45.0f, Pickups::off}), "free-for-all, 0:45, pick-ups off");
    EXPECT_EQ(describe(MatchRules{605.2f, Pickups::few}), "free-for-all, 10:05, pick-ups few");
    EXPECT_EQ(describe(MatchRules{60.0f, Pickups::few, Mode::lastPlaneStanding, 5}),
              "last plane standing, first to 5, rounds of 1 min, pick-ups few");
    EXPECT_EQ(describe(MatchRules{120.0f, Pickups::normal, Mode::teams}),
              "team match, 2 min, pick-ups normal, friendly fire off");
    EXPECT_EQ(describe(MatchRules{120.0f, Pickups::normal, Mode::teams, 3, true}),
              "team match, 2 min, pick-ups normal, friendly fire on");
    EXPECT_EQ(describe(MatchRules{120.0f, Pickups::normal, Mode::teams, 3, false, 1}),
              "team match, 2 min, pick-ups normal, friendly fire off, in the canyon");
    EXPECT_EQ(describe(MatchRules{45.0f, Pickups::off, Mode::freeForAll, 3, false, 2}),
              "free-for-all, 0:45, pick-ups off, in the harbour");
    EXPECT_STREQ(nameOf(Mode::freeForAll), "free-for-all");
    EXPECT_STREQ(nameOf(static_cast<Mode>(5)), "free-for-all");
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
    EXPECT_EQ(chosenRules().mode, Mode::freeForAll);
    chooseNextMode();
    EXPECT_EQ(chosenRules().mode, Mode::lastPlaneStanding);
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::mode.key()));
    chooseNextMode();
    EXPECT_EQ(chosenRules().mode, Mode::teams);
    // The team match's own choice (F8): friendly fire, off unless chosen.
    EXPECT_FALSE(chosenRules().friendlyFire);
    chooseModesOwn();
    EXPECT_TRUE(chosenRules().friendlyFire);
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::friendlyFire.key()));
    EXPECT_EQ(chosenRules().roundsToWin, 3) << "not the rounds of another mode";
    chooseModesOwn();
    EXPECT_FALSE(chosenRules().friendlyFire);
    chooseNextMode();
    EXPECT_EQ(chosenRules().mode, Mode::freeForAll) << "round the modes";
    chooseModesOwn(); // a free-for-all has no choice of its own
    EXPECT_EQ(chosenRules().roundsToWin, 3);
    EXPECT_FALSE(chosenRules().friendlyFire);
    EXPECT_EQ(chosenRules().roundsToWin, 3);
    for (const std::int32_t expected : {4, 5, 1, 2, 3}) {
        chooseNextRoundsToWin();
        EXPECT_EQ(chosenRules().roundsToWin, expected);
    }
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::roundsToWin.key()));
    // Nine set by hand goes round to one.
    kit::settings::setPlayer(matchSettings::roundsToWin.key(), "9");
    kit::SettingsEntryBase::refreshAll();
    chooseNextRoundsToWin();
    EXPECT_EQ(chosenRules().roundsToWin, 1);
    // The arena (F9) goes round the three, the meadow first.
    EXPECT_EQ(chosenRules().arena, 0);
    for (const std::int32_t expected : {1, 2, 0, 1}) {
        chooseNextArena();
        EXPECT_EQ(chosenRules().arena, expected);
        EXPECT_EQ(kit::settings::get<std::string>(matchSettings::arena.key(), ""), std::to_string(expected))
            << "kept as the arena it is, not a number past the last";
    }
    EXPECT_TRUE(kit::settings::isPlayers(matchSettings::arena.key()));
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
    const kit::ReplayHeader hosts =
        matchReplayHeader(world, {}, MatchRules{300.0f, Pickups::few, Mode::lastPlaneStanding, 4, false, 2});
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.matchLength"), "300");
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.pickups"), "1");
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.mode"), "1");
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.roundsToWin"), "4");
    EXPECT_EQ(valueOf(hosts, "tuning.gameWorld.arena"), "2");
    // No word from a host: this copy's own choice.
    const kit::ReplayHeader own = matchReplayHeader(world, {});
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.matchLength"), "180");
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.pickups"), "2");
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.mode"), "0");
    EXPECT_EQ(valueOf(own, "tuning.gameWorld.arena"), "0");
}

TEST(MatchSettings, RemotePlanesGlideByTheMeasuredDefaults)
{
    // Measured at internet delay: a faster or slower blend, or a lower cap,
    // shows remote planes further from where they are (see the view table).
    EXPECT_FLOAT_EQ(matchSettings::glideSeconds.value(), 0.04f);
    EXPECT_FLOAT_EQ(matchSettings::correctionSpeed.value(), 500.0f);
    EXPECT_FLOAT_EQ(matchSettings::snapDistance.value(), 30.0f);
}
