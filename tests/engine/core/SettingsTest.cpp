#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

namespace settings = kit::settings;

namespace {

// Every test uses its own table name, since the table is process-wide and never cleared.
class Tuning : public test::InTempDirectory {};

} // namespace

TEST_F(Tuning, FileLinesSplitAtTheFirstCommaAndKeepEverythingElse)
{
    write("assets/fmt.csv", "a,b,c\n"
                            ",x\n"
                            "justaword\n"
                            "\n"
                            "spaced key , spaced value \n"
                            "crlf,1.5\r\n"
                            "twice,1\n"
                            "twice,2\n"
                            "last,no line end");
    settings::load("fmt");
    EXPECT_EQ(settings::get<std::string>("fmt.a", "?"), "b,c");
    EXPECT_FALSE(settings::has("fmt."));
    EXPECT_FALSE(settings::has("fmt.justaword"));
    EXPECT_EQ(settings::get<std::string>("fmt.spaced key ", "?"), " spaced value ");
    EXPECT_EQ(settings::get<std::string>("fmt.crlf", "?"), "1.5");
    EXPECT_FLOAT_EQ(settings::get<float>("fmt.crlf", 0.0f), 1.5f);
    EXPECT_EQ(settings::get<int>("fmt.twice", 0), 2);
    EXPECT_EQ(settings::get<std::string>("fmt.last", "?"), "no line end");
}

TEST_F(Tuning, MissingKeysTakeTheirDefaultsAsText)
{
    EXPECT_FLOAT_EQ(settings::get<float>("defaults.factor", 0.995f), 0.995f);
    EXPECT_EQ(settings::get<std::string>("defaults.factor", ""), "0.995");
    settings::get<float>("defaults.width", 800.0f);
    EXPECT_EQ(settings::get<std::string>("defaults.width", ""), "800");
    settings::get<bool>("defaults.flag", true);
    EXPECT_EQ(settings::get<std::string>("defaults.flag", ""), "1");
    settings::get<unsigned short>("defaults.port", static_cast<unsigned short>(16520));
    EXPECT_EQ(settings::get<std::string>("defaults.port", ""), "16520");

    const glm::vec2 size = settings::get<glm::vec2>("defaults.size", glm::vec2(800.0f, 600.0f));
    EXPECT_EQ(size, glm::vec2(800.0f, 600.0f));
    EXPECT_EQ(settings::get<std::string>("defaults.size.x", ""), "800");
    EXPECT_EQ(settings::get<std::string>("defaults.size.y", ""), "600");
}

TEST_F(Tuning, BooleansAreIntegers)
{
    settings::set("bools.on", "1");
    settings::set("bools.off", "0");
    settings::set("bools.two", "2");
    settings::set("bools.minusOne", "-1");
    EXPECT_TRUE(settings::get<bool>("bools.on", false));
    EXPECT_FALSE(settings::get<bool>("bools.off", true));
    // Any integer other than 0 is true, as it would be in C++.
    EXPECT_TRUE(settings::get<bool>("bools.two", false));
    EXPECT_TRUE(settings::get<bool>("bools.minusOne", false));
}

TEST_F(Tuning, TextThatDoesNotConvertGivesTheDefaultAndOneMessage)
{
    settings::set("bad.float", "fast");
    settings::set("bad.port", "70000");
    settings::set("bad.int", "12abc");
    settings::set("bad.negativePort", "-1");
    ::testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(settings::get<float>("bad.float", 0.2f), 0.2f);
    EXPECT_FLOAT_EQ(settings::get<float>("bad.float", 0.2f), 0.2f);
    EXPECT_EQ(settings::get<unsigned short>("bad.port", static_cast<unsigned short>(7)), 7);
    EXPECT_EQ(settings::get<int>("bad.int", 3), 3);
    EXPECT_EQ(settings::get<unsigned short>("bad.negativePort", static_cast<unsigned short>(16520)), 16520);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Tuning value bad.float is \"fast\", not a number; using 0.2\n"
                   "Tuning value bad.port is \"70000\", not an integer from 0 to 65535; using 7\n"
                   "Tuning value bad.int is \"12abc\", not an integer; using 3\n"
                   "Tuning value bad.negativePort is \"-1\", not an integer from 0 to 65535; using 16520\n");
    // The text stays in the table for the player to mend.
    EXPECT_EQ(settings::get<std::string>("bad.float", ""), "fast");
}

TEST_F(Tuning, SaveWritesTheTableSortedBytewiseWithoutPrefix)
{
    settings::set("order.window.size.y", "600");
    settings::set("order.window.size.x", "800");
    settings::set("order.window.fullscreen", "0");
    settings::set("order.Zebra", "z");
    settings::set("orderly.other", "not ours");
    settings::save("order");
    EXPECT_EQ(read("assets/order.csv"), "Zebra,z\nwindow.fullscreen,0\nwindow.size.x,800\nwindow.size.y,600\n");
    for (const auto& entry : std::filesystem::directory_iterator("assets"))
        EXPECT_EQ(entry.path().filename(), "order.csv") << "a temporary file was left behind";
}

TEST_F(Tuning, AMissingFileIsReportedAndTheDefaultsStand)
{
    ::testing::internal::CaptureStderr();
    settings::load("absent");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not open settings file: assets/absent.csv\n");
    EXPECT_EQ(settings::get<int>("absent.value", 5), 5);
    settings::save("absent");
    EXPECT_EQ(read("assets/absent.csv"), "value,5\n");
}

TEST_F(Tuning, SavingWithoutTheDirectoryFailsCleanly)
{
    std::filesystem::remove_all("assets");
    settings::set("nodir.key", "1");
    ::testing::internal::CaptureStderr();
    settings::save("nodir");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Could not write settings file: assets/nodir.csv (No such file or directory)\n");
}

TEST_F(Tuning, ReloadUpdatesLiveEntriesAndKeepsDeletedKeys)
{
    write("assets/live.csv", "turn,0.5\nkept,9\n");
    settings::load("live");
    kit::SettingsEntry<float> turn("live.turn", 0.2f);
    kit::SettingsEntry<int> kept("live.kept", 1);
    kit::SettingsEntry<std::string> fresh("live.fresh", "default");
    EXPECT_FLOAT_EQ(turn.value, 0.5f);
    EXPECT_EQ(kept.value, 9);
    EXPECT_EQ(fresh.value, "default");

    write("assets/live.csv", "turn,0.75\nfresh,edited\n");
    settings::load("live");
    EXPECT_FLOAT_EQ(turn.value, 0.75f);
    EXPECT_EQ(kept.value, 9); // deleted from the file: keeps its value
    EXPECT_EQ(fresh.value, "edited");

    settings::save("live");
    EXPECT_EQ(read("assets/live.csv"), "fresh,edited\nkept,9\nturn,0.75\n");
}
