// The player's shelf of replays: named by date and winner, newest first, the
// oldest beyond the limit deleted, and a shelf that cannot be written costs
// one line and nothing else.
#include "game/replays/ReplayShelf.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

kit::Replay replayAt(const std::string& when, const std::string& winner)
{
    kit::Replay r;
    r.header.recordedAt = when;
    r.header.winner = winner;
    r.header.seconds = 1.0f;
    return r;
}

class Shelf : public test::InTempDirectory {};

} // namespace

TEST_F(Shelf, FileNamesSayDateAndWinnerWithNothingAFileNameShouldHold)
{
    EXPECT_EQ(skyscuffle::replayFileName(replayAt("2026-12-07 23:59:01", "Blue").header),
              "2026-12-07_23-59-01_Blue.replay");
    EXPECT_EQ(skyscuffle::replayFileName(replayAt("2026-12-07 23:59:01", "").header),
              "2026-12-07_23-59-01_draw.replay");
    EXPECT_EQ(skyscuffle::replayFileName(replayAt("2026/12/07 1:2", "../x y").header), "2026-12-07_1-2_---x-y.replay");
}

TEST_F(Shelf, TheNewestAreKeptUpToTheLimitAndTwoInOneSecondBothStay)
{
    const std::filesystem::path shelf = "data/skyscuffle/replays";
    std::ofstream("notes.txt") << "not a replay";
    for (const char* when : {"2026-12-01 10:00:00", "2026-12-03 10:00:00", "2026-12-02 10:00:00"})
        ASSERT_TRUE(skyscuffle::shelveReplay(replayAt(when, "Red"), shelf, 2));
    std::vector<std::filesystem::path> kept = skyscuffle::shelvedReplays(shelf);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].filename(), "2026-12-03_10-00-00_Red.replay");
    EXPECT_EQ(kept[1].filename(), "2026-12-02_10-00-00_Red.replay");

    const auto again = skyscuffle::shelveReplay(replayAt("2026-12-03 10:00:00", "Red"), shelf, 5);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->filename(), "2026-12-03_10-00-00_Red_2.replay");
    EXPECT_EQ(skyscuffle::shelvedReplays(shelf).size(), 3u);
    std::string error;
    EXPECT_TRUE(kit::readReplayFile(again->string(), error)) << error;

    std::ofstream(shelf / "readme.txt") << "other files are left alone";
    skyscuffle::shelveReplay(replayAt("2026-12-04 10:00:00", "Red"), shelf, 1);
    EXPECT_EQ(skyscuffle::shelvedReplays(shelf).size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(shelf / "readme.txt"));
}

TEST_F(Shelf, AShelfThatCannotBeWrittenCostsOneLine)
{
    std::ofstream("blocked") << "a file where the directory would be";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(skyscuffle::shelveReplay(replayAt("2026-12-01 10:00:00", "Red"), "blocked/replays", 50));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("The match's replay is not kept: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_TRUE(skyscuffle::shelvedReplays("no/such/shelf").empty());
}
