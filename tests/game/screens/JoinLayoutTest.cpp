// Where the join screen's parts stand at every text size: as always at the
// first, and at a larger one a layout whose plates stay on a 4:3 window and
// off each other, with each part's words on their own plate; rules too long
// for their column broken where lines are to spare.
#include "game/screens/JoinLayout.h"
#include "game/screens/JoinScreenView.h"

#include "game/looks/LookSettings.h"
#include "game/widgets/Overlay.h"

#include "engine/core/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyscuffle;

namespace {

struct Edges {
    float left, bottom, right, top;
};
Edges edgesOf(const widgets::Box& box)
{
    return {box.centre.x - box.size.x / 2, box.centre.y - box.size.y / 2, box.centre.x + box.size.x / 2,
            box.centre.y + box.size.y / 2};
}
bool apart(const widgets::Box& a, const widgets::Box& b)
{
    const Edges p = edgesOf(a), q = edgesOf(b);
    return p.right <= q.left || q.right <= p.left || p.top <= q.bottom || q.top <= p.bottom;
}
// A line from `at` `size` high, its bottom no lower than `lowest`, stands on the box.
void expectOn(const widgets::Box& box, glm::vec2 at, float size, const char* what)
{
    const Edges e = edgesOf(box);
    EXPECT_GE(at.x, e.left) << what;
    EXPECT_LE(at.x, e.right) << what;
    EXPECT_GE(at.y, e.bottom) << what;
    EXPECT_LE(at.y + size, e.top) << what;
}

class JoinLayoutAt : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { kit::settings::set(lookSettings::textSize.key(), std::to_string(GetParam())); }
    void TearDown() override
    {
        kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
    }
    [[nodiscard]] float scale() const { return static_cast<float>(GetParam()) / 100.0f; }
};

TEST(JoinLayout, AtTheFirstSizeTheScreenIsAsItWas)
{
    const JoinLayout layout = joinLayout(true);
    EXPECT_FALSE(layout.compact);
    EXPECT_TRUE(layout.arenaPicture);
    EXPECT_EQ(layout.perPage, 7);
    EXPECT_EQ(layout.internetWidth, 0.0f) << "one line, on a plate as long as the longest";
    EXPECT_FLOAT_EQ(layout.lineSize, 0.06f);
    EXPECT_FLOAT_EQ(layout.rosterStep, 0.085f);
}

TEST_P(JoinLayoutAt, TheWordsGrowWithTheSizeAndTheirPlatesStayOnTheWindowApart)
{
    for (const bool friends : {false, true}) {
        SCOPED_TRACE(friends ? "with lines for friends" : "without");
        const JoinLayout l = joinLayout(friends);
        ASSERT_TRUE(l.compact);
        EXPECT_FALSE(l.arenaPicture);
        EXPECT_NEAR(l.lineSize, 0.06f * scale(), 1e-6f);
        EXPECT_NEAR(l.rosterSize, 0.06f * scale(), 1e-6f);
        EXPECT_NEAR(l.rulesSize, 0.045f * scale(), 1e-6f);
        EXPECT_NEAR(l.internetSize, 0.04f * scale(), 1e-6f);
        EXPECT_GT(l.titleSize, 0.12f) << "titles grow too";
        EXPECT_LT(l.titleSize, 0.12f * scale()) << "if less";
        EXPECT_GE(l.rosterStep, l.rosterSize * 1.1f) << "lines clear of each other";
        EXPECT_GE(l.lineStep, l.lineSize * 1.1f);
        EXPECT_GE(l.rulesStep, l.rulesSize * 1.1f);

        std::vector<widgets::Box> plates{l.help, l.players, l.rules};
        if (friends)
            plates.push_back(l.notice);
        for (const widgets::Box& plate : plates) {
            const Edges e = edgesOf(plate);
            EXPECT_GE(e.left, -4.0f / 3.0f);
            EXPECT_LE(e.right, 4.0f / 3.0f);
            EXPECT_GE(e.bottom, -1.0f);
            EXPECT_LE(e.top, 1.0f);
        }
        for (std::size_t i = 0; i < plates.size(); ++i)
            for (std::size_t j = i + 1; j < plates.size(); ++j)
                EXPECT_TRUE(apart(plates[i], plates[j])) << i << " and " << j;

        expectOn(l.help, l.titleAt, l.titleSize, "the title");
        expectOn(l.help, l.firstLine, l.lineSize, "the first line of controls");
        expectOn(l.help, l.firstLine - glm::vec2(0.0f, l.lineStep * static_cast<float>(l.perPage - 1)), l.lineSize,
                 "the last line of a page");
        EXPECT_LE(l.firstLine.y + l.lineSize, l.titleAt.y) << "under the title";
        expectOn(l.players, l.playersTitleAt, l.playersTitleSize, "the players' title");
        expectOn(l.players, glm::vec2(l.playersTitleAt.x, l.rosterTop), l.rosterSize, "the first player");
        expectOn(l.players, l.counterAt, l.rosterSize, "the count under the sixth player");
        EXPECT_NEAR(l.counterAt.y, l.rosterTop - 6.0f * l.rosterStep, 1e-5f) << "a line under the sixth player";
        EXPECT_LE(l.rosterTop + l.rosterSize, l.playersTitleAt.y);
        EXPECT_GT(l.badgeX - l.badgeSize / 2, l.playersTitleAt.x) << "the badges at the lines' end";
        EXPECT_LE(l.badgeX + l.badgeSize / 2, edgesOf(l.players).right);
        expectOn(l.rules, l.rulesAt, l.rulesSize, "the first rule");
        expectOn(l.rules, l.captionAt, l.captionSize, "the arena's name");
        EXPECT_NEAR(l.captionAt.y, l.rulesAt.y - 6.0f * l.rulesStep, 1e-5f) << "under six rules";
        EXPECT_LE(l.captionRight, edgesOf(l.rules).right);
        if (friends) {
            expectOn(l.notice, l.internetAt, l.internetSize, "the lines for friends");
            EXPECT_GT(l.internetWidth, 0.5f);
            EXPECT_LE(l.internetAt.x + l.internetWidth, edgesOf(l.notice).right);
            // Three lines of the code's and two of the hint's under them (a
            // text's lines are its glyphs' height apart).
            const float hintSize = 0.035f * scale();
            EXPECT_GE(l.internetAt.y - 3.0f * l.internetSize - 0.01f - hintSize, edgesOf(l.notice).bottom);
        }
    }
}

TEST_P(JoinLayoutAt, TheControlsShowAsManyLinesAsFitTheRoomLeft)
{
    const JoinLayout without = joinLayout(false), with = joinLayout(true);
    EXPECT_GE(without.perPage, with.perPage) << "the lines for friends take room from the controls";
    EXPECT_LE(without.perPage, 7);
    EXPECT_GE(without.perPage, GetParam() <= 150 ? 7 : 3) << "the keyboard's three lines at least";
    EXPECT_GE(with.perPage, 2);
    // One more line would reach the plates under them.
    const JoinLayout& l = without;
    if (l.perPage < 7)
        EXPECT_LT(l.firstLine.y - l.lineStep * static_cast<float>(l.perPage), edgesOf(l.players).top + 0.03f);
}

INSTANTIATE_TEST_SUITE_P(Sizes, JoinLayoutAt, ::testing::Values(125, 150, 175, 200));

// Nine glyphs' room (an advance of 0.1, lines from 0 to 1); a broken line's
// pieces take seven, the rest indented by two.
constexpr float roomSize = 0.1f / (34.0f / 64.0f);

TEST(BrokenRules, LinesThatFitStayAndOnesMuchTooLongAreBrokenWithTheRestIndented)
{
    EXPECT_FLOAT_EQ(widgets::glyphAdvance(roomSize), 0.1f);
    EXPECT_EQ(brokenToFit({"ab", "cd ef gh ij kl"}, 6, 0.0f, 1.0f, roomSize),
              (std::vector<std::string>{"ab", "cd ef", "  gh ij", "  kl"}));
    EXPECT_EQ(brokenToFit({"abcd efghi"}, 6, 0.0f, 1.0f, roomSize), (std::vector<std::string>{"abcd efghi"}))
        << "a little too long (it shrinks by a tenth): smaller, not broken";
    EXPECT_EQ(brokenToFit({"abc defghijk"}, 6, 0.0f, 1.0f, roomSize), (std::vector<std::string>{"abc", "  defghijk"}));
    EXPECT_EQ(brokenToFit({}, 6, 0.0f, 1.0f, roomSize), (std::vector<std::string>{}));
}

TEST(BrokenRules, TheLongestAreBrokenFirstAsFarAsTheSlotsLast)
{
    // The longer line takes four lines broken, the shorter two.
    const std::vector<std::string> rules{"ff gg hh ii", "aa bb cc dd ee ff gg"};
    EXPECT_EQ(brokenToFit(rules, 5, 0.0f, 1.0f, roomSize),
              (std::vector<std::string>{"ff gg hh ii", "aa bb", "  cc dd", "  ee ff", "  gg"}));
    EXPECT_EQ(brokenToFit(rules, 4, 0.0f, 1.0f, roomSize),
              (std::vector<std::string>{"ff gg", "  hh ii", "aa bb cc dd ee ff gg"}))
        << "no room for the longer broken: the shorter is";
    EXPECT_EQ(brokenToFit(rules, 6, 0.0f, 1.0f, roomSize),
              (std::vector<std::string>{"ff gg", "  hh ii", "aa bb", "  cc dd", "  ee ff", "  gg"}));
    EXPECT_EQ(brokenToFit(rules, 2, 0.0f, 1.0f, roomSize), rules) << "no slot to spare: every line as it was";
}

} // namespace
