// The match's words at the player's text size: the top's middle (clock, the
// sides' points, the round's line) grows without its parts running into each
// other, a corner's block stands beside it or under it as the room says, lines
// break where keys are listed, and the gauges' scores leave their side for a
// place over their gauge when they no longer fit beside it.
#include "game/match/HudLayout.h"
#include "game/looks/LookSettings.h"
#include "game/looks/TextScale.h"
#include "game/match/MatchStart.h"

#include "engine/core/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyscuffle;

namespace {

class HudLayout : public ::testing::Test {
protected:
    void TearDown() override { at(100); }
    static void at(int percent)
    {
        kit::settings::set(lookSettings::textSize.key(), std::to_string(percent));
        ASSERT_FLOAT_EQ(textScale(), static_cast<float>(percent) / 100.0f);
    }
    static bool apart(const hud::Area& a, const hud::Area& b)
    {
        return a.right <= b.left || b.right <= a.left || a.top <= b.bottom || b.top <= a.bottom;
    }
};

} // namespace

TEST_F(HudLayout, AtTheDesignedSizeEverythingStandsWhereItDid)
{
    at(100);
    EXPECT_FLOAT_EQ(hud::clockSize(), 0.1f);
    EXPECT_FLOAT_EQ(hud::clockBaseline(), 0.8f);
    EXPECT_NEAR(hud::clockOrigin(), -3.0f * 0.1f * 34.0f / 64.0f, 1e-6f);
    EXPECT_FLOAT_EQ(hud::roundLineSize(), 0.055f);
    EXPECT_NEAR(hud::roundLineBaseline(), 0.7f, 1e-6f);
    EXPECT_FLOAT_EQ(hud::sidePointsSize(), 0.08f);
    EXPECT_FLOAT_EQ(hud::sidePointsX(), 0.42f);
    EXPECT_FLOAT_EQ(hud::sideBadgeSize(), 0.12f);
    EXPECT_NEAR(hud::sideBadgeOffset(true).x, -0.1f, 1e-6f);
    EXPECT_NEAR(hud::sideBadgeOffset(false).x, 0.1f, 1e-6f);
    EXPECT_NEAR(hud::sideBadgeOffset(true).y, 0.03f, 1e-6f);
    const ScoreLayout six = scoreLayout(6);
    EXPECT_TRUE(six.beside) << "six scores beside their gauges, as designed";
    EXPECT_FLOAT_EQ(six.size, 0.1f);
}

TEST_F(HudLayout, TheTopsMiddleGrowsWithTheWordsAndItsPartsStayApart)
{
    at(200);
    EXPECT_FLOAT_EQ(hud::clockSize(), 0.2f);
    EXPECT_FLOAT_EQ(hud::roundLineSize(), 0.11f);
    EXPECT_FLOAT_EQ(hud::sidePointsSize(), 0.16f);
    for (const int percent : {100, 150, 200}) {
        at(percent);
        const std::vector<hud::Area> sides = hud::topMiddle(true, false), rounds = hud::topMiddle(false, true);
        ASSERT_EQ(sides.size(), 3u);
        ASSERT_EQ(rounds.size(), 2u);
        for (const auto* areas : {&sides, &rounds}) {
            for (std::size_t i = 0; i < areas->size(); ++i) {
                const hud::Area& a = (*areas)[i];
                EXPECT_GE(a.left, -hud::aspect) << percent;
                EXPECT_LE(a.right, hud::aspect) << percent;
                EXPECT_LE(a.top, 1.0f) << percent;
                for (std::size_t j = i + 1; j < areas->size(); ++j)
                    EXPECT_TRUE(apart(a, (*areas)[j])) << percent << " %, areas " << i << " and " << j;
            }
        }
        // The clock's digits keep a gap from three digits of either side's points.
        EXPECT_GE(sides[0].left - sides[1].right, hud::gap - 1e-5f) << percent;
        EXPECT_GE(sides[2].left - sides[0].right, hud::gap - 1e-5f) << percent;
        // The clock and the round's line are as tall as their words.
        EXPECT_FLOAT_EQ(sides[0].top - sides[0].bottom, hud::clockSize());
        EXPECT_FLOAT_EQ(rounds[1].top - rounds[1].bottom, hud::roundLineSize());
    }
}

TEST_F(HudLayout, ACornersBlockStandsBesideTheMiddleWhileItHasRoomElseUnderIt)
{
    // A clock in the middle, and a wide line lower down.
    const std::vector<hud::Area> middle{{-0.2f, 0.8f, 0.3f, 0.9f}, {-0.6f, 0.6f, 0.6f, 0.7f}};
    const auto tall = [](float height) { return [height](float) { return height; }; };

    // Coming down past the wide line: its edge, less a gap.
    hud::Corner c = hud::corner(true, -1.3f, 0.95f, 0.3f, middle, tall(0.5f));
    EXPECT_FALSE(c.under);
    EXPECT_FLOAT_EQ(c.top, 0.95f);
    EXPECT_FLOAT_EQ(c.inner, -0.6f - hud::gap);
    // Short enough to end over it: beside the clock.
    c = hud::corner(true, -1.3f, 0.95f, 0.3f, middle, tall(0.2f));
    EXPECT_FALSE(c.under);
    EXPECT_FLOAT_EQ(c.inner, -0.2f - hud::gap);
    // On the right, mirrored.
    c = hud::corner(false, 1.3f, 0.95f, 0.3f, middle, tall(0.2f));
    EXPECT_FLOAT_EQ(c.inner, 0.3f + hud::gap);
    // Too narrow beside it: under every area, as far as the window's middle.
    c = hud::corner(true, -1.3f, 0.95f, 0.8f, middle, tall(0.2f));
    EXPECT_TRUE(c.under);
    EXPECT_FLOAT_EQ(c.top, 0.6f - hud::gap);
    EXPECT_FLOAT_EQ(c.inner, -hud::gap * 0.5f);
    // A block that would only fit beside the clock while it is short, and
    // grows taller with the clock's room, keeps to the wide line's.
    c = hud::corner(true, -1.3f, 0.95f, 0.3f, middle, [](float room) { return room > 0.8f ? 0.5f : 0.2f; });
    EXPECT_FLOAT_EQ(c.inner, -0.6f - hud::gap);
}

TEST_F(HudLayout, LinesBreakBetweenTheKeysListedFirstAndCutANameLongerThanALine)
{
    const float size = 0.1f, advance = hud::advance(size);
    // Room for 30 glyphs (a line starts one advance in).
    const float width = 31.5f * advance;
    const std::vector<std::string> keys =
        hud::breakLines("Playing 1x  0:12 / 3:00\nSpace pause   Left/Right 10 s   Up/Down speed", width, size);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"Playing 1x  0:12 / 3:00", "Space pause   Left/Right 10 s", "Up/Down speed"}));
    const std::vector<std::string> words =
        hud::breakLines("A clip is being drawn: 2026-12-09_16-36-42_Yellow_0-00.webp", width, size);
    EXPECT_EQ(words, (std::vector<std::string>{"A clip is being drawn:", "2026-12-09_16-36-42_Yellow_0-0", "0.webp"}));
    // A piece too long for a line breaks at its single spaces.
    EXPECT_EQ(hud::breakLines("F follows the next plane   C clip", 12.5f * advance, size),
              (std::vector<std::string>{"F follows", "the next", "plane", "C clip"}));
    EXPECT_EQ(hud::breakLines("short", width, size), std::vector<std::string>{"short"});
    EXPECT_EQ(hud::joined({"a", "b", "c"}), "a\nb\nc");
}

TEST_F(HudLayout, ScoresGoOverTheirGaugesWhenTheyNoLongerFitBeside)
{
    at(200);
    const ScoreLayout six = scoreLayout(6);
    EXPECT_FALSE(six.beside);
    EXPECT_FLOAT_EQ(six.size, 0.2f);
    EXPECT_NEAR(six.room, (gaugePlace(1, 6) - gaugePlace(0, 6)) * hud::aspect - hud::gap, 1e-6f)
        << "the width between the neighbours' scores";
    EXPECT_FALSE(scoreLayout(4).beside) << "no room beside at twice the size";
    EXPECT_TRUE(scoreLayout(1).beside) << "a lone gauge has room beside it";
    at(150);
    EXPECT_FALSE(scoreLayout(6).beside);
    EXPECT_TRUE(scoreLayout(2).beside);
    EXPECT_FALSE(scoreLayout(4).beside) << "the last of four would end past a 4:3 window";
    at(110);
    EXPECT_TRUE(scoreLayout(4).beside);
    EXPECT_FALSE(scoreLayout(6).beside) << "six leave no room beside for larger digits";
}

// Each side's badge keeps the distance it had at the designed size from its
// points: the sun's left of its first digit, the moon's right of its last.
TEST_F(HudLayout, EachSidesBadgeKeepsItsDistanceFromItsPoints)
{
    const auto gaps = [] {
        const float step = hud::advance(hud::sidePointsSize()), at = hud::sidePointsX() * hud::aspect;
        const float half = hud::sideBadgeSize() * 0.5f;
        // The sun's digits start one advance right of its place; the moon's end one advance right of its.
        const float sun = (-at + step) - (-at + hud::sideBadgeOffset(true).x * hud::aspect + half);
        const float moon = (at + hud::sideBadgeOffset(false).x * hud::aspect - half) - (at + step);
        return glm::vec2(sun, moon);
    };
    at(100);
    const glm::vec2 designed = gaps();
    EXPECT_GT(designed.x, 0.0f);
    EXPECT_GT(designed.y, 0.0f);
    for (const int percent : {150, 200}) {
        at(percent);
        EXPECT_NEAR(gaps().x, designed.x, 1e-5f) << percent;
        EXPECT_NEAR(gaps().y, designed.y, 1e-5f) << percent;
    }
}
