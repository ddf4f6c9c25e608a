// Last plane standing's rounds: when one is over, who won it, and who wins
// the match.
#include "game/match/Rounds.h"

#include <gtest/gtest.h>

#include <limits>

using namespace skyscuffle;

namespace {

const kit::EntityID lpsRed{0xA, 1}, lpsGreen{0xA, 2}, lpsBlue{0xB, 1};

RoundPlane lpsPlane(kit::EntityID id, bool flying, float health = 10.0f)
{
    return RoundPlane{id, flying, health};
}

} // namespace

TEST(Rounds, ARoundEndsWhenOnePlaneOrNoneIsLeftFlying)
{
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true), lpsPlane(lpsGreen, true), lpsPlane(lpsBlue, true)}, 3, false),
              std::nullopt);
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true), lpsPlane(lpsGreen, false), lpsPlane(lpsBlue, true)}, 3, false),
              std::nullopt);
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, false), lpsPlane(lpsGreen, false), lpsPlane(lpsBlue, true)}, 3, false),
              RoundEnd{lpsBlue});
    // The last two went down in one frame: nobody won it.
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, false), lpsPlane(lpsGreen, false)}, 2, false), RoundEnd{});
    // A plane whose copy left is gone from the list: the one left wins.
    EXPECT_EQ(judgeRound({lpsPlane(lpsGreen, true)}, 2, false), RoundEnd{lpsGreen});
}

TEST(Rounds, APlaneAloneIsNoWinnerUntilTheClockRunsOut)
{
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true)}, 1, false), std::nullopt);
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 3.0f)}, 1, true), (RoundEnd{lpsRed, true}));
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, false)}, 1, true), (RoundEnd{std::nullopt, true}));
    EXPECT_EQ(judgeRound({}, 0, true), (RoundEnd{std::nullopt, true}));
}

TEST(Rounds, AtTheClocksEndTheMostHealthWinsAndASharedBestIsNobodys)
{
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 4.0f), lpsPlane(lpsGreen, true, 7.5f), lpsPlane(lpsBlue, true, 7.0f)},
                         3, true),
              (RoundEnd{lpsGreen, true}));
    // A wreck's health counts for nothing, however much it had.
    EXPECT_EQ(
        judgeRound({lpsPlane(lpsRed, false, 10.0f), lpsPlane(lpsGreen, true, 2.0f), lpsPlane(lpsBlue, true, 1.0f)}, 3,
                   true),
        (RoundEnd{lpsGreen, true}));
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 6.0f), lpsPlane(lpsGreen, true, 6.0f), lpsPlane(lpsBlue, true, 1.0f)},
                         3, true),
              (RoundEnd{std::nullopt, true}));
    // Shared below the best does not matter.
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 2.0f), lpsPlane(lpsGreen, true, 2.0f), lpsPlane(lpsBlue, true, 9.0f)},
                         3, true),
              (RoundEnd{lpsBlue, true}));
    // A health that is not a number is none.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, nan), lpsPlane(lpsGreen, true, 0.5f)}, 2, true),
              (RoundEnd{lpsGreen, true}));
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 0.5f), lpsPlane(lpsGreen, true, nan)}, 2, true),
              (RoundEnd{lpsRed, true}));
}

TEST(Rounds, TheFirstToWinTheRoundsAskedForWinsTheMatch)
{
    // A plane's points in a match of rounds are the rounds it has won.
    ScoreTable table{{lpsRed, 2}, {lpsGreen, 1}, {lpsBlue, 0}};
    EXPECT_EQ(champion(table, 3), std::nullopt);
    EXPECT_EQ(champion(table, 2), lpsRed);
    table[1].points = 3;
    EXPECT_EQ(champion(table, 3), lpsGreen);
    // Rounds to win below one ask for one: a plane that won none is no champion.
    EXPECT_EQ(champion({{lpsRed, 0}, {lpsBlue, 0}}, 0), std::nullopt);
    EXPECT_EQ(champion({{lpsRed, 0}, {lpsBlue, 1}}, 0), lpsBlue);
    EXPECT_EQ(champion({{lpsRed, 0}, {lpsBlue, 1}}, -5), lpsBlue);
    EXPECT_EQ(champion({}, 1), std::nullopt);
}

TEST(Rounds, AMatchOfRoundsThatNobodyWinsStillEnds)
{
    EXPECT_EQ(mostRounds(3), 12);
    EXPECT_EQ(mostRounds(1), 4);
    EXPECT_EQ(mostRounds(0), 4);
    EXPECT_EQ(mostRounds(-2), 4);
}
