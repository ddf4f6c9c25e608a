// A tuning value that must be a number of at least some lowest value.
#include "game/common/TuningRange.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "support/Edges.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace skyscuffle;

TEST(TuningRange, TheLowestValueIsUsableAndAFloatBelowItIsNot)
{
    kit::SettingsEntry<float> entry("tuning.test.edgeOfARange", 1.0f);
    auto tuned = [&](float value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        kit::settings::set(entry.key, text);
        kit::SettingsEntryBase::refreshAll();
        EXPECT_EQ(entry.value, value) << text; // the file's text reads back as the same float
        return tunedAtLeast(entry, 2.5f, 7.0f);
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(tuned(2.5f), 2.5f);
    EXPECT_EQ(tuned(test::justPast(2.5f)), test::justPast(2.5f));
    const std::string quiet = testing::internal::GetCapturedStderr();
    EXPECT_EQ(quiet, "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(tuned(std::nextafter(2.5f, 0.0f)), 7.0f);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("Tuning value tuning.test.edgeOfARange = "), std::string::npos) << told;
    EXPECT_NE(told.find(" is not usable (a number of at least 2.5); 7 is used\n"), std::string::npos) << told;
}
