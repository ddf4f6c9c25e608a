#include "engine/core/Log.h"

#include "support/ConsoleCapture.h"

#include <gtest/gtest.h>

#include <iomanip>

namespace {

namespace log = kit::log;

// Each case starts and ends at the console's usual verbosity, without a file.
class LogConsole : public ::testing::Test {
protected:
    void SetUp() override { log::setVerbosity(log::Verbosity::normal); }
    void TearDown() override { log::setVerbosity(log::Verbosity::normal); }

    // One line of each level.
    static void tellEachLevel()
    {
        log::debug() << "a debug line";
        log::info() << "an info line";
        log::warn() << "a warning";
        log::error() << "an error";
    }
};

TEST_F(LogConsole, ByDefaultInfoGoesToTheOutputAndWarningsAndErrorsToTheErrorStream)
{
    test::ConsoleCapture console;
    tellEachLevel();
    EXPECT_EQ(console.out(), "an info line\n");
    EXPECT_EQ(console.errors(), "a warning\nan error\n");
}

TEST_F(LogConsole, VerboseAddsDebugLinesToTheOutput)
{
    log::setVerbosity(log::Verbosity::verbose);
    test::ConsoleCapture console;
    tellEachLevel();
    EXPECT_EQ(console.out(), "a debug line\nan info line\n");
    EXPECT_EQ(console.errors(), "a warning\nan error\n");
}

TEST_F(LogConsole, QuietKeepsOnlyWarningsAndErrors)
{
    log::setVerbosity(log::Verbosity::quiet);
    test::ConsoleCapture console;
    tellEachLevel();
    EXPECT_EQ(console.out(), "");
    EXPECT_EQ(console.errors(), "a warning\nan error\n");
}

TEST_F(LogConsole, EnabledAnswersForTheLevelsTheConsoleShows)
{
    EXPECT_FALSE(log::enabled(log::Level::debug));
    EXPECT_TRUE(log::enabled(log::Level::info));
    EXPECT_TRUE(log::enabled(log::Level::warn));
    EXPECT_TRUE(log::enabled(log::Level::error));
    log::setVerbosity(log::Verbosity::quiet);
    EXPECT_FALSE(log::enabled(log::Level::info));
    EXPECT_TRUE(log::enabled(log::Level::warn));
    log::setVerbosity(log::Verbosity::verbose);
    EXPECT_TRUE(log::enabled(log::Level::debug));
}

TEST_F(LogConsole, ALineIsWrittenAsStreamedWithoutAPrefix)
{
    test::ConsoleCapture console;
    log::info() << "Copy " << std::hex << std::setw(8) << std::setfill('0') << 0xbeefu << std::dec << " has " << 3
                << " players at " << 2.5f << " s";
    EXPECT_EQ(console.out(), "Copy 0000beef has 3 players at 2.5 s\n");
}

TEST_F(LogConsole, ATrailingNewlineEndsTheLineOnceAndInnerOnesStay)
{
    test::ConsoleCapture console;
    log::write(log::Level::error, "Errors compiling \"shader\":\n0:1: bad\n");
    log::write(log::Level::info, "");
    log::info() << "twice\n\n";
    EXPECT_EQ(console.errors(), "Errors compiling \"shader\":\n0:1: bad\n");
    EXPECT_EQ(console.out(), "\ntwice\n\n");
}

TEST_F(LogConsole, EveryLineIsFlushedAtOnceOnItsStream)
{
    test::ConsoleCapture console;
    log::info() << "one";
    EXPECT_GE(console.outText.flushes, 1);
    const int outFlushes = console.outText.flushes;
    log::warn() << "two";
    EXPECT_GE(console.errorText.flushes, 1);
    log::info() << "three";
    EXPECT_GT(console.outText.flushes, outFlushes);
}

} // namespace
