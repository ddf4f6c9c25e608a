#include "engine/core/Setting.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace settings = kit::settings;

namespace {

// Declared as the game declares its settings: at namespace scope, before main.
const kit::Setting<float> declSpeed{"declared.speed", 2.5f, "how fast", {0.5f, 10.0f}};
const kit::Setting<float> declFloor{"declared.floor", 1.0f, "at least one", {1.0f, {}}};
const kit::Setting<float> declCeiling{"declared.ceiling", 3.0f, "at most four", {{}, 4.0f}};
const kit::Setting<int> declCount{"declared.count", 3, "a count", {1, 5}};
const kit::Setting<std::string> declName{"declared.name", "plane", "a name"};
const kit::Setting<bool> declOn{"declared.on", true, "a switch"};
const kit::Setting<float> declUnread{"declared.unread", 7.0f, "read by nobody"};

const kit::SettingDeclaration* declared(const std::string& key)
{
    const auto all = kit::SettingDeclaration::all();
    const auto found = std::find_if(all.begin(), all.end(), [&](auto* d) { return d->key() == key; });
    return found == all.end() ? nullptr : *found;
}

} // namespace

TEST(Setting, EveryDeclarationIsListedOnceInKeyOrderBeforeAnyoneReadsIt)
{
    const auto all = kit::SettingDeclaration::all();
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](auto* a, auto* b) { return a->key() < b->key(); }));
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](auto* d) { return d->key() == "declared.speed"; }), 1);
    ASSERT_NE(declared("declared.unread"), nullptr);
    // Declared, not read: the table (and so the tuning file written at exit) does not have it yet.
    EXPECT_FALSE(settings::has("declared.unread"));
    EXPECT_FLOAT_EQ(declUnread.value(), 7.0f);
    EXPECT_TRUE(settings::has("declared.unread"));
}

TEST(Setting, InfoGivesTypeDefaultRangeAndHelpAsTheListShowsThem)
{
    const kit::SettingInfo s = declSpeed.info();
    EXPECT_EQ(s.key, "declared.speed");
    EXPECT_EQ(s.type, "number");
    EXPECT_EQ(s.fallback, "2.5");
    EXPECT_EQ(s.range, "0.5 to 10");
    EXPECT_EQ(s.help, "how fast");
    EXPECT_EQ(declFloor.info().range, "at least 1");
    EXPECT_EQ(declCeiling.info().range, "at most 4");
    EXPECT_EQ(declCount.info().type, "whole number");
    EXPECT_EQ(declCount.info().range, "1 to 5");
    EXPECT_EQ(declName.info().type, "text");
    EXPECT_EQ(declName.info().fallback, "plane");
    EXPECT_EQ(declName.info().range, "");
    EXPECT_EQ(declOn.info().type, "on/off");
    EXPECT_EQ(declOn.info().fallback, "1");
}

TEST(Setting, ValuesFollowTheTableAndOutOfRangeOnesReadAsTheDefault)
{
    // Setting a value in the table reaches every declaration at once.
    settings::set("declared.speed", "4");
    EXPECT_FLOAT_EQ(declSpeed.value(), 4.0f);
    // The bounds themselves are in range.
    settings::set("declared.speed", "0.5");
    EXPECT_FLOAT_EQ(declSpeed.value(), 0.5f);
    settings::set("declared.speed", "10");
    EXPECT_FLOAT_EQ(declSpeed, 10.0f);
    for (const char* bad : {"0.4", "10.5", "-3"}) {
        settings::set("declared.speed", bad);
        testing::internal::CaptureStderr();
        EXPECT_FLOAT_EQ(declSpeed.value(), 2.5f) << bad;
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("declared.speed"), std::string::npos) << bad;
        EXPECT_NE(told.find("from 0.5 to 10"), std::string::npos) << told;
        EXPECT_NE(told.find("2.5 is used"), std::string::npos) << told;
    }
    // Told once per unusable value, not once per read.
    testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(declSpeed.value(), 2.5f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    settings::set("declared.floor", "0.99");
    settings::set("declared.ceiling", "4.01");
    settings::set("declared.count", "6");
    testing::internal::CaptureStderr();
    EXPECT_FLOAT_EQ(declFloor.value(), 1.0f);
    EXPECT_FLOAT_EQ(declCeiling.value(), 3.0f);
    EXPECT_EQ(declCount.value(), 3);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("of at least 1"), std::string::npos) << told;
    EXPECT_NE(told.find("of at most 4"), std::string::npos) << told;
    settings::set("declared.floor", "1");
    settings::set("declared.ceiling", "4");
    settings::set("declared.count", "1");
    EXPECT_FLOAT_EQ(declFloor.value(), 1.0f);
    EXPECT_FLOAT_EQ(declCeiling.value(), 4.0f);
    EXPECT_EQ(declCount.value(), 1);
    // The live entry is the table's value, unchecked, for code that keeps one.
    settings::set("declared.count", "9");
    EXPECT_EQ(declCount.entry().value, 9);
    // The table is the program's: later tests find these in range.
    for (const char* key : {"declared.speed", "declared.floor", "declared.ceiling", "declared.count"})
        settings::set(key, "3");
}

TEST(Setting, TheListNamesEveryDeclarationWithoutTheTuningPrefix)
{
    const kit::Setting<float> tuned{"tuning.declared.listed", 0.25f, "a tuned value", {0.0f, 1.0f}};
    const std::string plain = kit::settingsList(false);
    EXPECT_NE(plain.find("declared.listed (number, 0 to 1, default 0.25): a tuned value\n"), std::string::npos)
        << plain;
    EXPECT_EQ(plain.find("tuning.declared.listed"), std::string::npos);
    EXPECT_NE(plain.find("declared.name (text, default plane): a name\n"), std::string::npos) << plain;
    const std::string table = kit::settingsList(true);
    EXPECT_EQ(table.rfind("| Key | Type | Default | Range | |\n|---|---|---|---|---|\n", 0), 0u);
    EXPECT_NE(table.find("| `declared.listed` | number | 0.25 | 0 to 1 | a tuned value |\n"), std::string::npos);
    EXPECT_NE(table.find("| `declared.name` | text | plane |  | a name |\n"), std::string::npos);
}

TEST(Setting, ADeclarationThatEndsLeavesTheList)
{
    {
        const kit::Setting<int> passing{"declared.passing", 1, "for a while"};
        EXPECT_NE(declared("declared.passing"), nullptr);
    }
    EXPECT_EQ(declared("declared.passing"), nullptr);
    EXPECT_NE(declared("declared.speed"), nullptr);
}
