#include "engine/core/Log.h"

#include "support/ConsoleCapture.h"
#include "support/ScopedVariable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

namespace {

namespace log = kit::log;
namespace fs = std::filesystem;

std::string logFileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each case has a state home of its own in a fresh directory; the file is
// closed and the verbosity usual again afterwards.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "skyscuffle-log-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        stateHome_.emplace("XDG_STATE_HOME", root_.c_str());
        log::setVerbosity(log::Verbosity::normal);
    }
    void TearDown() override
    {
        log::closeFile();
        log::setVerbosity(log::Verbosity::normal);
        stateHome_.reset();
        fs::remove_all(root_);
    }

    fs::path directory() const { return root_ / "skyscuffle"; }
    std::string logText() const { return logFileText(directory() / "skyscuffle.log"); }

    fs::path root_;
    std::optional<test::ScopedVariable> stateHome_;
};

TEST_F(LogFile, TheDirectoryComesFromXdgStateHome)
{
    EXPECT_EQ(log::defaultDirectory(), directory());
    const test::ScopedVariable relative("XDG_STATE_HOME", "relative/state");
    const test::ScopedVariable home("HOME", "/home/pilot");
    EXPECT_EQ(log::defaultDirectory(), fs::path("/home/pilot/.local/state/skyscuffle"));
}

TEST_F(LogFile, WithoutAHomeThereIsNoDirectoryAndNoFile)
{
    const test::ScopedVariable state("XDG_STATE_HOME", nullptr);
    const test::ScopedVariable home("HOME", nullptr);
    EXPECT_TRUE(log::defaultDirectory().empty());
    test::ConsoleCapture console;
    EXPECT_FALSE(log::openFile(log::defaultDirectory()));
    EXPECT_EQ(console.errors(),
              "No home directory (neither HOME nor XDG_STATE_HOME is set): the log is not kept in a file\n");
}

TEST_F(LogFile, EachLineHasItsTimeLevelAndMessage)
{
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    {
        test::ConsoleCapture console;
        log::info() << "Creating Main Menu";
        log::warn() << "Tuning value x is not usable";
        log::error() << "Could not open game port 9";
        log::debug() << "not kept";
        EXPECT_EQ(console.out(), "Creating Main Menu\n"); // the console has no prefix
    }
    const std::string text = logText();
    const std::string time = R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\] )";
    EXPECT_TRUE(std::regex_match(text, std::regex(time + R"(\[info\] Creating Main Menu\n)" + time +
                                                  R"(\[warning\] Tuning value x is not usable\n)" + time +
                                                  R"(\[error\] Could not open game port 9\n)")))
        << text;
}

TEST_F(LogFile, QuietSilencesTheConsoleButNotTheFile)
{
    log::setVerbosity(log::Verbosity::quiet);
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    EXPECT_TRUE(log::enabled(log::Level::info));
    EXPECT_FALSE(log::enabled(log::Level::debug));
    test::ConsoleCapture console;
    log::info() << "kept in the file only";
    log::debug() << "nowhere";
    EXPECT_EQ(console.out(), "");
    EXPECT_NE(logText().find("[info] kept in the file only\n"), std::string::npos);
    EXPECT_EQ(logText().find("nowhere"), std::string::npos);
}

TEST_F(LogFile, VerboseKeepsDebugLinesToo)
{
    log::setVerbosity(log::Verbosity::verbose);
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    test::ConsoleCapture console;
    log::debug() << "a debug line";
    EXPECT_NE(logText().find("[debug] a debug line\n"), std::string::npos);
    EXPECT_EQ(console.out(), "a debug line\n");
}

TEST_F(LogFile, OpeningAnotherFileLeavesTheFirst)
{
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    const fs::path other = root_ / "other";
    ASSERT_TRUE(log::openFile(other));
    test::ConsoleCapture console;
    log::info() << "for the second";
    EXPECT_EQ(logText().find("for the second"), std::string::npos);
    EXPECT_NE(logFileText(other / "skyscuffle.log").find("for the second"), std::string::npos);
}

TEST_F(LogFile, AClosedFileTakesNoMoreLines)
{
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    test::ConsoleCapture console;
    log::info() << "before";
    log::closeFile();
    log::info() << "after";
    EXPECT_NE(logText().find("before"), std::string::npos);
    EXPECT_EQ(logText().find("after"), std::string::npos);
    EXPECT_EQ(console.out(), "before\nafter\n");
}

TEST_F(LogFile, ItRotatesPastItsSizeKeepingThreeFilesInAll)
{
    constexpr std::size_t limit = 400;
    ASSERT_TRUE(log::openFile(log::defaultDirectory(), limit, 3));
    test::ConsoleCapture console;
    for (int i = 0; i < 40; ++i)
        log::info() << "line " << i << " of the rotation test, long enough to fill a file";
    for (const char* name : {"skyscuffle.log", "skyscuffle.1.log", "skyscuffle.2.log"}) {
        ASSERT_TRUE(fs::exists(directory() / name)) << name;
        EXPECT_LE(fs::file_size(directory() / name), limit) << name;
    }
    EXPECT_FALSE(fs::exists(directory() / "skyscuffle.3.log"));
    // The newest line is in the current file, the one before the current
    // file's first in the file before it.
    EXPECT_NE(logText().find("line 39 of"), std::string::npos);
    const std::string current = logText();
    const std::size_t first = std::stoul(current.substr(current.find("line ") + 5));
    EXPECT_NE(logFileText(directory() / "skyscuffle.1.log").find("line " + std::to_string(first - 1) + " of"),
              std::string::npos);
}

TEST_F(LogFile, AnUnwritableDirectoryCostsOneLineAndTheConsoleGoesOn)
{
    // A plain file where the directory should be: no one, not even root, can
    // make a directory under it.
    std::ofstream(root_ / "skyscuffle") << "in the way";
    test::ConsoleCapture console;
    EXPECT_FALSE(log::openFile(log::defaultDirectory()));
    const std::string said = console.errors();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("The log file " + (directory() / "skyscuffle.log").string() + " cannot be written (", 0), 0)
        << said;
    EXPECT_NE(said.find("): the log goes to the console only\n"), std::string::npos) << said;
    log::info() << "still here";
    EXPECT_EQ(console.out(), "still here\n");
}

TEST_F(LogFile, AFileThatCannotBeOpenedCostsOneLine)
{
    // The directory is there, but a directory stands where the file would be.
    fs::create_directories(directory() / "skyscuffle.log");
    test::ConsoleCapture console;
    EXPECT_FALSE(log::openFile(log::defaultDirectory()));
    const std::string said = console.errors();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot be written"), std::string::npos) << said;
    log::warn() << "on the console";
    EXPECT_EQ(console.errors(), said + "on the console\n");
}

TEST_F(LogFile, AFileThatFailsLaterCostsOneLineAndTheConsoleGoesOn)
{
    // Opened well, but every write to it fails (the disk is full).
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    fs::create_directories(directory());
    fs::create_symlink("/dev/full", directory() / "skyscuffle.log");
    ASSERT_TRUE(log::openFile(log::defaultDirectory()));
    test::ConsoleCapture console;
    log::info() << "first";
    log::info() << "second";
    log::warn() << "third";
    EXPECT_EQ(console.out(), "first\nsecond\n");
    const std::string said = console.errors();
    EXPECT_EQ(said.rfind("The log file cannot be written any more (", 0), 0) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("): the log goes to the console only\nthird\n"), std::string::npos) << said;
}

} // namespace
