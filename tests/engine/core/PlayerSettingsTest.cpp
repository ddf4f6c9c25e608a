// The player's settings above the tuning file, and this run's above both:
// which value wins, what each file keeps, a broken line, and a file whose
// write was killed half-way.
#include "engine/core/AtomicFile.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace settings = kit::settings;

namespace {

// The layers are process-wide: every test uses keys of its own under "tuning.".
class PlayerSettings : public test::InTempDirectory {
protected:
    std::filesystem::path file() const { return root_ / "config" / "skyscuffle" / "settings.csv"; }
};

} // namespace

TEST_F(PlayerSettings, ThePlayersValueWinsOverTheTuningFileAndTheRunsOverBoth)
{
    write("assets/tuning.csv", "layers.volume,0.5\nlayers.size,800\nlayers.plain,7\n");
    settings::load("tuning");
    std::filesystem::create_directories(file().parent_path());
    write(file().string(), "# notes are skipped\nlayers.volume,0.25\nlayers.size,1024\n");
    settings::loadPlayer(file());
    EXPECT_FLOAT_EQ(settings::get<float>("tuning.layers.volume", 1.0f), 0.25f);
    EXPECT_EQ(settings::get<int>("tuning.layers.plain", 0), 7);
    settings::setForRun("tuning.layers.size", "640");
    EXPECT_EQ(settings::get<int>("tuning.layers.size", 0), 640);
    settings::setPlayer("tuning.layers.size", "1280"); // chosen during the run: the run's still wins
    EXPECT_EQ(settings::get<int>("tuning.layers.size", 0), 640);

    // The tuning file keeps its own values; the player's file only the player's.
    settings::save("tuning");
    const std::string tuning = read("assets/tuning.csv");
    EXPECT_NE(tuning.find("layers.volume,0.5\n"), std::string::npos) << tuning;
    EXPECT_NE(tuning.find("layers.size,800\n"), std::string::npos) << tuning;
    EXPECT_NE(tuning.find("layers.plain,7\n"), std::string::npos) << tuning;
    ASSERT_TRUE(settings::savePlayer(file()));
    const std::string mine = read(file().string());
    EXPECT_NE(mine.find("layers.volume,0.25\n"), std::string::npos) << mine;
    EXPECT_NE(mine.find("layers.size,1280\n"), std::string::npos) << "the player's choice, not the run's";
    EXPECT_EQ(mine.find("layers.plain"), std::string::npos) << "a default is not the player's";
    EXPECT_EQ(mine.find("640"), std::string::npos) << "the run's value is never kept";
}

TEST_F(PlayerSettings, DroppingTheRunsValueLeavesThePlayersOrTheFilesInForce)
{
    write("assets/tuning.csv", "runs.size,800\nruns.mode,1\n");
    settings::load("tuning");
    static kit::SettingsEntry<int> size("tuning.runs.size", 0);
    settings::setPlayer("tuning.runs.size", "1024");
    settings::setForRun("tuning.runs.size", "640");
    settings::setForRun("tuning.runs.mode", "0");
    EXPECT_EQ(size.value, 640);
    settings::clearForRun("tuning.runs.size");
    EXPECT_EQ(size.value, 1024) << "the player's, at once";
    EXPECT_EQ(settings::get<int>("tuning.runs.mode", 9), 0) << "another key's run value stays";
    settings::clearForRun("tuning.runs.mode");
    EXPECT_EQ(settings::get<int>("tuning.runs.mode", 9), 1) << "the file's, where the player chose nothing";
    settings::clearForRun("tuning.runs.mode"); // nothing left to drop
    EXPECT_EQ(settings::get<int>("tuning.runs.mode", 9), 1);

    settings::save("tuning");
    const std::string tuning = read("assets/tuning.csv");
    EXPECT_NE(tuning.find("runs.size,800\n"), std::string::npos) << tuning;
    EXPECT_NE(tuning.find("runs.mode,1\n"), std::string::npos) << tuning;
    ASSERT_TRUE(settings::savePlayer(file()));
    const std::string mine = read(file().string());
    EXPECT_NE(mine.find("runs.size,1024\n"), std::string::npos) << mine;
    EXPECT_EQ(mine.find("runs.mode"), std::string::npos) << mine;
    settings::clearPlayer("tuning.runs.size");
    EXPECT_EQ(size.value, 800) << "the file's beneath both";
}

TEST_F(PlayerSettings, ReloadingTheTuningFileKeepsThePlayersChoice)
{
    write("assets/tuning.csv", "reload.speed,3\n");
    settings::load("tuning");
    static kit::SettingsEntry<int> speed("tuning.reload.speed", 1);
    EXPECT_EQ(speed.value, 3);
    settings::setPlayer("tuning.reload.speed", "9");
    EXPECT_EQ(speed.value, 9) << "a choice applies at once";
    ::testing::internal::CaptureStderr();
    settings::loadPlayer(file()); // no file yet: a first run
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(speed.value, 9);
    write("assets/tuning.csv", "reload.speed,4\n");
    settings::load("tuning");
    EXPECT_EQ(speed.value, 9);
    settings::clearPlayer("tuning.reload.speed");
    EXPECT_EQ(speed.value, 4) << "back to the file's newer value";
    EXPECT_FALSE(settings::isPlayers("tuning.reload.speed"));
}

TEST_F(PlayerSettings, ClearingAChoiceMadeBeforeTheCodeAskedGivesTheDefault)
{
    settings::setPlayer("tuning.early.zoom", "2.5");
    EXPECT_TRUE(settings::isPlayers("tuning.early.zoom"));
    static kit::SettingsEntry<float> zoom("tuning.early.zoom", 1.0f);
    EXPECT_FLOAT_EQ(zoom.value, 2.5f);
    settings::clearPlayer("tuning.early.zoom");
    EXPECT_FLOAT_EQ(zoom.value, 1.0f);
    EXPECT_FLOAT_EQ(settings::get<float>("tuning.early.zoom", 1.0f), 1.0f);
    settings::save("tuning");
    EXPECT_NE(read("assets/tuning.csv").find("early.zoom,1\n"), std::string::npos);
}

TEST_F(PlayerSettings, ABrokenLineCostsOneMessageAndTheRestOfTheFileStillCounts)
{
    std::filesystem::create_directories(file().parent_path());
    write(file().string(), "broken.first,1\nno comma here\n,orphan\nbroken.last,2\r\nbroken.number,fast\n");
    ::testing::internal::CaptureStderr();
    settings::loadPlayer(file());
    EXPECT_EQ(settings::get<int>("tuning.broken.number", 5), 5);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string where = "Settings file " + file().string();
    EXPECT_EQ(said, where + ", line 2: not a key,value line; skipped\n" + where +
                        ", line 3: not a key,value line; skipped\n"
                        "Tuning value tuning.broken.number is \"fast\", not an integer; using 5\n");
    EXPECT_EQ(settings::get<int>("tuning.broken.first", 0), 1);
    EXPECT_EQ(settings::get<int>("tuning.broken.last", 0), 2);
}

TEST_F(PlayerSettings, AFileThatCannotBeWrittenIsReportedAndTheOldOneStays)
{
    std::filesystem::create_directories(file().parent_path());
    write(file().string(), "kept.value,1\n");
    settings::setPlayer("tuning.kept.value", "2");
    // A directory where the file should be: neither the write nor the rename can succeed.
    const std::filesystem::path blocked = root_ / "blocked";
    std::filesystem::create_directories(blocked / "settings.csv" / "inside");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(settings::savePlayer(blocked / "settings.csv"));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("Could not write settings file: " + (blocked / "settings.csv").string() + " (", 0), 0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "settings.csv" / "inside"));
    ASSERT_TRUE(settings::savePlayer(file()));
    for (const auto& entry : std::filesystem::directory_iterator(file().parent_path()))
        EXPECT_EQ(entry.path().filename(), "settings.csv") << "a temporary file was left behind";
}

// A writer killed at any moment of a write leaves either the old file or the
// new one, whole: never a mixture, never a short file.
TEST(AtomicFile, AWriterKilledAtAnyMomentLeavesTheOldFileOrTheNewOneWhole)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("atomic-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "settings.csv";
    const auto version = [](int n) { return std::string(20000 + 997 * (n % 7), static_cast<char>('a' + n % 26)); };
    ASSERT_EQ(kit::writeFileAtomically(path, version(0)), "");
    std::mt19937 random(7);
    int killedMidway = 0;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = 1;; ++n)
                kit::writeFileAtomically(path, version(n));
        }
        usleep(std::uniform_int_distribution<useconds_t>(200, 20000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty()) << "round " << round;
        bool whole = false;
        for (int n = 0; n < 26 * 7 && !whole; ++n)
            whole = text == version(n);
        ASSERT_TRUE(whole) << "round " << round << ": " << text.size() << " bytes of a mixture";
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            killedMidway += entry.path() != path;
    }
    std::filesystem::remove_all(folder);
    // The kills fell during writes too, not only between them.
    EXPECT_GT(killedMidway, 0);
}

// Two writes of one file from one process at once (a replay saved while the
// last one still is): each succeeds, and the file is one of them, whole.
TEST(AtomicFile, TwoWritesAtOnceFromOneProcessBothSucceedAndOneIsLeftWhole)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("atomic2-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "match.replay";
    const std::string first(300000, 'a'), second(200000, 'b');
    std::atomic<int> failures{0};
    const auto writer = [&](const std::string& contents) {
        for (int i = 0; i < 30; ++i)
            failures += !kit::writeFileAtomically(path, contents).empty();
    };
    std::thread one(writer, std::cref(first)), other(writer, std::cref(second));
    one.join();
    other.join();
    EXPECT_EQ(failures.load(), 0);
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(text == first || text == second) << text.size() << " bytes of a mixture";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "a temporary file was left";
    std::filesystem::remove_all(folder);
}
