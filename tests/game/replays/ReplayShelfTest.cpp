// The player's shelf of replays: named by date and winner, newest first, the
// oldest of its own beyond the limit deleted (never the new one, never
// another file), two copies ending together each keeping theirs, and a shelf
// that cannot be written, or a game without a home, costs one line and
// nothing else.
#include "game/replays/ReplayShelf.h"
#include "support/NoHome.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(Shelf, OnlyItsOwnDateNamedReplaysArePrunedAndTheNewOneNever)
{
    const std::filesystem::path shelf = "replays";
    for (const char* when : {"2026-12-01 10:00:00", "2026-12-02 10:00:00", "2026-12-03 10:00:00"})
        ASSERT_TRUE(skyscuffle::shelveReplay(replayAt(when, "Red"), shelf, 3));
    // A clock set back: the new replay's name is the oldest of all.
    const auto behind = skyscuffle::shelveReplay(replayAt("2020-01-01 09:00:00", "Red"), shelf, 3);
    ASSERT_TRUE(behind);
    std::string error;
    EXPECT_TRUE(kit::readReplayFile(behind->string(), error)) << error;
    EXPECT_EQ(skyscuffle::lastShelvedReplay(), behind);
    std::vector<std::filesystem::path> kept = skyscuffle::shelvedReplays(shelf);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].filename(), "2026-12-03_10-00-00_Red.replay");
    EXPECT_EQ(kept[1].filename(), "2026-12-02_10-00-00_Red.replay");
    EXPECT_EQ(kept[2].filename(), "2020-01-01_09-00-00_Red.replay");

    // A friend's replays dropped in, named by letters (sorting after any date)
    // or not quite as the shelf names: never counted, never deleted.
    for (const char* other : {"friends-final.replay", "2026-12-09_10-00-00_Red copy.replay", "2026-12-09.replay"})
        std::ofstream(shelf / other) << "a friend's";
    const auto next = skyscuffle::shelveReplay(replayAt("2026-12-04 10:00:00", "Blue"), shelf, 2);
    ASSERT_TRUE(next);
    kept = skyscuffle::shelvedReplays(shelf);
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept[0].filename(), "friends-final.replay");
    EXPECT_EQ(kept[1].filename(), "2026-12-09_10-00-00_Red copy.replay");
    EXPECT_EQ(kept[2].filename(), "2026-12-09.replay");
    EXPECT_EQ(kept[3].filename(), "2026-12-04_10-00-00_Blue.replay");
    EXPECT_EQ(kept[4].filename(), "2026-12-03_10-00-00_Red.replay");
}

TEST_F(Shelf, TheShelfsOwnNamesAreDateTimeAndWinner)
{
    EXPECT_TRUE(skyscuffle::isShelvedName("2026-12-07_23-59-01_Blue.replay"));
    EXPECT_TRUE(skyscuffle::isShelvedName("2026-12-07_23-59-01_draw.replay"));
    EXPECT_TRUE(skyscuffle::isShelvedName("2026-12-07_23-59-01_---x-y_12.replay"));
    EXPECT_FALSE(skyscuffle::isShelvedName("2026-12-07_23-59-01_.replay"));
    EXPECT_FALSE(skyscuffle::isShelvedName("2026-12-07_23-59-01_Blue.replay.part"));
    EXPECT_FALSE(skyscuffle::isShelvedName("2026-12-07_23-59_Blue.replay"));
    EXPECT_FALSE(skyscuffle::isShelvedName("x2026-12-07_23-59-01_Blue.replay"));
    EXPECT_FALSE(skyscuffle::isShelvedName("Blue.replay"));
}

TEST_F(Shelf, TwoCopiesEndingInTheSameSecondWithTheSameWinnerKeepTwoReplays)
{
    // Two processes, as two copies of the game on one machine, let go at
    // once, each with ten megabytes to write: both find the name free, and
    // both are still writing when the other is.
    const std::filesystem::path shelf = "replays";
    std::vector<kit::ReplayRecord> noise;
    std::mt19937 random(5);
    for (std::uint32_t i = 0; i < 40; ++i) {
        std::vector<std::uint32_t> words(64 * 1024);
        std::generate(words.begin(), words.end(), random);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(words.data());
        noise.push_back({kit::ReplayRecord::Kind::calls, i * 100, {bytes, bytes + 4 * words.size()}});
    }
    for (int round = 0; round < 3; ++round) {
        kit::Replay replay = replayAt("2026-12-0" + std::to_string(round + 1) + " 10:00:00", "Red");
        replay.header.seconds = 4.0f;
        replay.records = noise;
        int go[2], told[2];
        ASSERT_EQ(pipe(go), 0);
        ASSERT_EQ(pipe(told), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        char signal = 0;
        if (child == 0) {
            (void)!::read(go[0], &signal, 1);
            const auto path = skyscuffle::shelveReplay(replay, shelf, 50);
            const std::string name = path ? path->filename().string() : std::string();
            (void)!::write(told[1], name.data(), name.size());
            _exit(path ? 0 : 1);
        }
        (void)!::write(go[1], &signal, 1);
        const auto own = skyscuffle::shelveReplay(replay, shelf, 50);
        int status = 0;
        waitpid(child, &status, 0);
        char name[256] = {};
        close(told[1]);
        (void)!::read(told[0], name, sizeof name - 1);
        for (int fd : {go[0], go[1], told[0]})
            close(fd);
        ASSERT_TRUE(own);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        EXPECT_NE(own->filename().string(), std::string(name)) << "round " << round;
        std::string error;
        EXPECT_TRUE(kit::readReplayFile(own->string(), error)) << error;
        EXPECT_TRUE(kit::readReplayFile((shelf / name).string(), error)) << error;
    }
    EXPECT_EQ(skyscuffle::shelvedReplays(shelf).size(), 6u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shelf), {}), 6) << "no temporary file left";
}

TEST_F(Shelf, WithoutAHomeNothingIsWrittenAndOneLineSaysSo)
{
    test::NoHome bare;
    ASSERT_TRUE(skyscuffle::replayDirectory().empty());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(skyscuffle::shelveReplay(replayAt("2026-12-01 10:00:00", "Red"), skyscuffle::replayDirectory(), 50));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "The match's replay is not kept: there is no home directory (neither HOME nor XDG_DATA_HOME is "
                    "set)\n");
    testing::internal::CaptureStderr();
    std::ofstream("2026-12-01_10-00-00_Red.replay") << "a file of the working directory";
    EXPECT_FALSE(skyscuffle::keepReplay("2026-12-01_10-00-00_Red.replay", skyscuffle::replayDirectory()));
    said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(skyscuffle::everyReplay(skyscuffle::replayDirectory()).empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2) << "assets/ and the file alone";
}
