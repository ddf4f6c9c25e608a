// Key names as a settings file keeps them: every named key goes there and
// back, letters and digits are themselves, and anything else is unknown.
#include "engine/input/KeyNames.h"
#include "engine/input/Keys.h"

#include <gtest/gtest.h>

#include <set>

TEST(KeyNames, EveryNamedKeyGoesThereAndBackUnderOneName)
{
    std::set<std::string> seen;
    int named = 0;
    for (int key = 0; key < 400; ++key) {
        const std::string name = kit::keys::name(key);
        if (name.empty())
            continue;
        ++named;
        EXPECT_TRUE(seen.insert(name).second) << name << " names two keys";
        EXPECT_EQ(kit::keys::fromName(name), key) << name;
    }
    EXPECT_EQ(named, 26 + 10 + 25 + 10 + 49) << "letters, digits, F1-F25, the keypad's digits and the rest";
}

TEST(KeyNames, AreTheKeysOwnWordsInAnyCase)
{
    EXPECT_EQ(kit::keys::name(kit::keys::x), "X");
    EXPECT_EQ(kit::keys::name(kit::keys::digit4), "4");
    EXPECT_EQ(kit::keys::name(kit::keys::space), "SPACE");
    EXPECT_EQ(kit::keys::name(kit::keys::left), "LEFT");
    EXPECT_EQ(kit::keys::name(kit::keys::f11), "F11");
    EXPECT_EQ(kit::keys::name(kit::keys::rightShift), "RIGHT_SHIFT");
    EXPECT_EQ(kit::keys::name(320), "KP_0");
    EXPECT_EQ(kit::keys::fromName("space"), kit::keys::space);
    EXPECT_EQ(kit::keys::fromName("Left_Shift"), kit::keys::leftShift);
    EXPECT_EQ(kit::keys::fromName("z"), kit::keys::z);
    for (const char* unknown : {"", " ", "SPACE ", "F26", "KP_10", "LEFTSHIFT", "ß", "-1"})
        EXPECT_EQ(kit::keys::fromName(unknown), -1) << unknown;
    EXPECT_EQ(kit::keys::name(-1), "");
    EXPECT_EQ(kit::keys::name(1000), "");
}
