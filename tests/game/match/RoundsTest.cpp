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
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 3.0f)}, 1, true), RoundEnd{lpsRed});
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, false)}, 1, true), RoundEnd{});
    EXPECT_EQ(judgeRound({}, 0, true), RoundEnd{});
}

TEST(Rounds, AtTheClocksEndTheMostHealthWinsAndASharedBestIsNobodys)
{
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 4.0f), lpsPlane(lpsGreen, true, 7.5f), lpsPlane(lpsBlue, true, 7.0f)},
                         3, true),
              RoundEnd{lpsGreen});
    // A wreck's health counts for nothing, however much it had.
    EXPECT_EQ(
        judgeRound({lpsPlane(lpsRed, false, 10.0f), lpsPlane(lpsGreen, true, 2.0f), lpsPlane(lpsBlue, true, 1.0f)}, 3,
                   true),
        RoundEnd{lpsGreen});
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 6.0f), lpsPlane(lpsGreen, true, 6.0f), lpsPlane(lpsBlue, true, 1.0f)},
                         3, true),
              RoundEnd{});
    // Shared below the best does not matter.
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 2.0f), lpsPlane(lpsGreen, true, 2.0f), lpsPlane(lpsBlue, true, 9.0f)},
                         3, true),
              RoundEnd{lpsBlue});
    // A health that is not a number is none.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, nan), lpsPlane(lpsGreen, true, 0.5f)}, 2, true), RoundEnd{lpsGreen});
    EXPECT_EQ(judgeRound({lpsPlane(lpsRed, true, 0.5f), lpsPlane(lpsGreen, true, nan)}, 2, true), RoundEnd{lpsRed});
}

TEST(Rounds, TheFirstToWinTheRoundsAskedForWinsTheMatch)
{
    RoundTally tally;
    EXPECT_EQ(tally.champion(3), std::nullopt);
    tally.add(RoundEnd{lpsRed});
    tally.add(RoundEnd{});
    tally.add(RoundEnd{lpsGreen});
    tally.add(RoundEnd{lpsRed});
    EXPECT_EQ(tally.roundsPlayed(), 4);
    EXPECT_EQ(tally.winsOf(lpsRed), 2);
    EXPECT_EQ(tally.winsOf(lpsGreen), 1);
    EXPECT_EQ(tally.winsOf(lpsBlue), 0);
    EXPECT_EQ(tally.champion(3), std::nullopt);
    EXPECT_EQ(tally.champion(2), lpsRed);
    tally.add(RoundEnd{lpsRed});
    EXPECT_EQ(tally.champion(3), lpsRed);
    // Rounds to win below one ask for one.
    EXPECT_EQ(RoundTally{}.champion(0), std::nullopt);
    RoundTally once;
    once.add(RoundEnd{lpsBlue});
    EXPECT_EQ(once.champion(0), lpsBlue);
    EXPECT_EQ(once.champion(-5), lpsBlue);
    // The table lists every plane asked for, with its rounds as points.
    const ScoreTable table = tally.table({lpsGreen, lpsRed, lpsBlue});
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0], (ScoreEntry{lpsGreen, 1}));
    EXPECT_EQ(table[1], (ScoreEntry{lpsRed, 3}));
    EXPECT_EQ(table[2], (ScoreEntry{lpsBlue, 0}));
}
