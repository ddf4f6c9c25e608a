// The command line: every option read into the run's options, --help and
// --version answered at once, and every mistake one line and status 2.
#include "game/startup/CommandLine.h"

#include "engine/core/Setting.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace skyscuffle;

namespace {

struct Outcome {
    CommandLine line;
    std::string out, error;
};

Outcome read(std::vector<const char*> words)
{
    words.insert(words.begin(), "skyscuffle");
    std::ostringstream out, error;
    Outcome o{readCommandLine(static_cast<int>(words.size()), words.data(), out, error), {}, {}};
    o.out = out.str();
    o.error = error.str();
    return o;
}

} // namespace

TEST(CommandLine, NoOptionsRunsTheGameAsTheSettingsSay)
{
    const Outcome o = read({});
    EXPECT_TRUE(o.line.run);
    EXPECT_FALSE(o.line.options.fullscreen);
    EXPECT_FALSE(o.line.options.width);
    EXPECT_FALSE(o.line.options.host);
    EXPECT_FALSE(o.line.options.mute);
    EXPECT_TRUE(o.line.options.joinAddress.empty());
    EXPECT_TRUE(o.line.options.dataDirectory.empty());
    EXPECT_EQ(o.line.options.verbosity, kit::log::Verbosity::normal);
    EXPECT_EQ(o.out + o.error, "");
}

TEST(CommandLine, VerboseAndQuietSetTheConsolesVerbosity)
{
    Outcome o = read({"--verbose"});
    ASSERT_TRUE(o.line.run) << o.error;
    EXPECT_EQ(o.line.options.verbosity, kit::log::Verbosity::verbose);
    o = read({"--quiet", "--mute"});
    ASSERT_TRUE(o.line.run) << o.error;
    EXPECT_EQ(o.line.options.verbosity, kit::log::Verbosity::quiet);
    EXPECT_TRUE(o.line.options.mute);
    o = read({"--verbose", "--quiet"});
    EXPECT_FALSE(o.line.run);
    EXPECT_EQ(o.error, "skyscuffle: --verbose and --quiet contradict each other (see skyscuffle --help)\n");
}

TEST(CommandLine, EveryOptionIsRead)
{
    Outcome o = read({"--fullscreen", "--size", "1280x720", "--data", "/opt/sky", "--mute", "--host"});
    ASSERT_TRUE(o.line.run) << o.error;
    EXPECT_EQ(o.line.options.fullscreen, true);
    EXPECT_EQ(o.line.options.width, 1280);
    EXPECT_EQ(o.line.options.height, 720);
    EXPECT_EQ(o.line.options.dataDirectory, "/opt/sky");
    EXPECT_TRUE(o.line.options.mute);
    EXPECT_TRUE(o.line.options.host);

    o = read({"--windowed", "--size=640X480", "--join", "192.168.1.20:17000"});
    ASSERT_TRUE(o.line.run) << o.error;
    EXPECT_EQ(o.line.options.fullscreen, false);
    EXPECT_EQ(o.line.options.width, 640);
    EXPECT_EQ(o.line.options.height, 480);
    EXPECT_EQ(o.line.options.joinAddress, "192.168.1.20");
    EXPECT_EQ(o.line.options.joinPort, 17000);
    EXPECT_FALSE(o.line.options.host);

    o = read({"--join=copy-two.local"});
    ASSERT_TRUE(o.line.run) << o.error;
    EXPECT_EQ(o.line.options.joinAddress, "copy-two.local");
    EXPECT_EQ(o.line.options.joinPort, 0) << "the tuning's game port";

    // An invite code names the address and the port.
    for (const char* code : {"888FL-3GJ6AR", "888fl-3gj6ar"}) {
        o = read({"--join", code});
        ASSERT_TRUE(o.line.run) << o.error;
        EXPECT_EQ(o.line.options.joinAddress, "198.51.100.23") << code;
        EXPECT_EQ(o.line.options.joinPort, 16520) << code;
    }
    o = read({"--join", "888FL-3GJ6AT"});
    EXPECT_FALSE(o.line.run);
    EXPECT_EQ(o.error, "skyscuffle: --join: '888FL-3GJ6AT' is not an invite code: a character of it is mistyped "
                       "(see skyscuffle --help)\n");
}

TEST(CommandLine, HelpAndVersionAnswerAndEndTheRunWell)
{
    for (const char* help : {"--help", "-h"}) {
        const Outcome o = read({help});
        EXPECT_FALSE(o.line.run);
        for (const char* option : {"--help", "--version", "--fullscreen", "--windowed", "--size", "--data", "--host",
                                   "--join", "--mute", "--verbose", "--quiet"})
            EXPECT_NE(o.out.find(option), std::string::npos) << option;
    }
    Outcome o = read({"--help"});
    EXPECT_FALSE(o.line.run);
    EXPECT_EQ(o.line.status, 0);
    EXPECT_NE(o.out.find("--join ADDRESS[:PORT]|CODE"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("settings.csv"), std::string::npos) << "where the settings live";
    EXPECT_NE(o.out.find("$XDG_STATE_HOME/skyscuffle/skyscuffle.log"), std::string::npos) << "where the log lives";
    EXPECT_EQ(o.error, "");
    o = read({"--version"});
    EXPECT_FALSE(o.line.run);
    EXPECT_EQ(o.line.status, 0);
    EXPECT_EQ(o.out, "skyscuffle 1.0.0\n");
}

TEST(CommandLine, ListSettingsPrintsTheListPlainOrAsATableAndEndsTheRunWell)
{
    const Outcome plain = read({"--list-settings"});
    EXPECT_FALSE(plain.line.run);
    EXPECT_EQ(plain.line.status, 0);
    EXPECT_EQ(plain.out, kit::settingsList(false));
    const Outcome table = read({"--list-settings=markdown"});
    EXPECT_FALSE(table.line.run);
    EXPECT_EQ(table.out, kit::settingsList(true));
    EXPECT_NE(plain.out, table.out);

    const Outcome other = read({"--list-settings=html"});
    EXPECT_EQ(other.line.status, 2);
    EXPECT_EQ(other.out, "");
    EXPECT_NE(other.error.find("'html'"), std::string::npos) << other.error;
}

TEST(CommandLine, EveryMistakeIsOneLineAndStatusTwo)
{
    const std::vector<std::vector<const char*>> mistakes = {
        {"--bogus"},
        {"stray"},
        {"--size"},
        {"--size", "800"},
        {"--size", "0x600"},
        {"--size", "800x99999"},
        {"--size", "800x600x2"},
        {"--size", "-800x600"},
        {"--join", ""},
        {"--join", ":17000"},
        {"--join", "host:0"},
        {"--join", "host:65536"},
        {"--join", "host:port"},
        {"--join", "a:b:c"},
        {"--data", ""},
        {"--fullscreen", "--windowed"},
        {"--host", "--join", "10.0.0.1"},
        {"--mute=yes"},
        {"--verbose", "--quiet"},
        {"--quiet=1"},
        {"--replay", ""},
        {"--replay", "a.replay", "--host"},
        {"--clip", "c.webp"},
        {"--replay", "a.replay", "--clip", ""},
        {"--replay", "a", "--clip", "c", "--clip-from", "-1"},
        {"--replay", "a", "--clip", "c", "--clip-seconds", "0"},
        {"--replay", "a", "--clip", "c", "--clip-seconds", "601"},
        {"--replay", "a", "--clip", "c", "--clip-size", "8x8"},
        {"--replay", "a", "--clip", "c", "--clip-size", "4000x100"},
        {"--replay", "a", "--clip", "c", "--clip-from", "soon"},
    };
    for (const auto& words : mistakes) {
        const Outcome o = read(words);
        std::string said;
        for (const char* w : words)
            said += std::string(w) + " ";
        EXPECT_FALSE(o.line.run) << said;
        EXPECT_EQ(o.line.status, 2) << said;
        EXPECT_EQ(o.out, "") << said;
        ASSERT_FALSE(o.error.empty()) << said;
        EXPECT_EQ(o.error.rfind("skyscuffle: ", 0), 0u) << o.error;
        EXPECT_EQ(std::count(o.error.begin(), o.error.end(), '\n'), 1) << o.error;
    }
    EXPECT_NE(read({"--bogus"}).error.find("--bogus"), std::string::npos) << "the line names the option";
    EXPECT_NE(read({"--size", "800"}).error.find("'800'"), std::string::npos) << "and the bad value";
}

TEST(CommandLine, AReplayToWatchOrToDrawAClipOf)
{
    const Outcome watch = read({"--replay", "match.replay"});
    ASSERT_TRUE(watch.line.run) << watch.error;
    EXPECT_EQ(watch.line.options.replayFile, "match.replay");
    EXPECT_TRUE(watch.line.options.clipFile.empty());

    const Outcome defaults = read({"--replay", "m.replay", "--clip", "c.webp"});
    ASSERT_TRUE(defaults.line.run) << defaults.error;
    EXPECT_EQ(defaults.line.options.clipFile, "c.webp");
    EXPECT_EQ(defaults.line.options.clipFrom, 0.0f);
    EXPECT_EQ(defaults.line.options.clipSeconds, 10.0f);
    EXPECT_EQ(defaults.line.options.clipWidth, 640);
    EXPECT_EQ(defaults.line.options.clipHeight, 360);

    const Outcome given = read({"--replay", "m.replay", "--clip", "c.webp", "--clip-from", "42.5", "--clip-seconds",
                                "600", "--clip-size", "16x16"});
    ASSERT_TRUE(given.line.run) << given.error;
    EXPECT_EQ(given.line.options.clipFrom, 42.5f);
    EXPECT_EQ(given.line.options.clipSeconds, 600.0f);
    EXPECT_EQ(given.line.options.clipWidth, 16);
    EXPECT_EQ(given.line.options.clipHeight, 16);
}

TEST(CommandLine, AddressesAndSizesAtTheirLimits)
{
    std::string address;
    std::uint16_t port = 9;
    EXPECT_TRUE(splitAddress("10.0.0.2:1", address, port));
    EXPECT_EQ(address, "10.0.0.2");
    EXPECT_EQ(port, 1);
    EXPECT_TRUE(splitAddress("10.0.0.2:65535", address, port));
    EXPECT_EQ(port, 65535);
    EXPECT_TRUE(splitAddress("localhost", address, port));
    EXPECT_EQ(port, 0);
    EXPECT_FALSE(splitAddress("10.0.0.2:", address, port));
    EXPECT_FALSE(splitAddress("10.0.0.2:+5", address, port));

    int w = 0, h = 0;
    EXPECT_TRUE(readSize("1x1", w, h));
    EXPECT_EQ(w, 1);
    EXPECT_TRUE(readSize("16384x16384", w, h));
    EXPECT_EQ(h, 16384);
    EXPECT_FALSE(readSize("16385x100", w, h));
    EXPECT_FALSE(readSize("100x0", w, h));
    EXPECT_FALSE(readSize("x100", w, h));
    EXPECT_FALSE(readSize("100x", w, h));
    EXPECT_FALSE(readSize(" 100x100", w, h));
}
