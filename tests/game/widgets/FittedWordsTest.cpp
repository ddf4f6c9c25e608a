// Words fitted to their room: a panel's line to its plate or to the next line
// beside it, and nothing else; a settings menu's label to its value column;
// words broken into lines for a width; a settings menu with more lines than
// its room scrolling to the chosen one.
#include "game/screens/ScreenFixture.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/RowMenu.h"
#include "game/widgets/TextFit.h"

#include "engine/physics/Transform.h"
#include "engine/render/Sprite.h"
#include "engine/render/Text.h"

#include <optional>
#include <vector>

using namespace skyscuffle;

namespace {

class FittedWords : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start([](kit::World* world) { widgets::addOverlay(world, true); });
        frame();
    }
    static float rightOf(const kit::Text& text)
    {
        return kit::textBounds(text.text(), text.glyphSize, text.origin, widgets::glyphAdvance(text.glyphSize)).right;
    }
};

TEST_F(FittedWords, APanelsLineShrinksOnlyForItsPlateOrForALineBesideIt)
{
    // A plate from x -1 to 1; a long line, a short one on its row further
    // right, a line below starting far right, and a short line alone.
    const std::string longWords(60, 'w');
    const widgets::Panel panel = widgets::addPanel(world(), widgets::Box{glm::vec2(0.0f), glm::vec2(2.0f, 1.0f)},
                                                   {{longWords, glm::vec2(-0.95f, 0.3f), 0.06f},
                                                    {"beside", glm::vec2(0.5f, 0.3f), 0.06f},
                                                    {"short", glm::vec2(-0.95f, 0.1f), 0.06f},
                                                    {"below", glm::vec2(0.6f, 0.0f), 0.06f}});
    const kit::Text &first = *panel.lines[0], &beside = *panel.lines[1], &alone = *panel.lines[2];
    EXPECT_LT(first.glyphSize, 0.06f) << "too long for the room before the next line on its row";
    EXPECT_LE(rightOf(first), 0.5f + 1e-5f);
    EXPECT_GE(first.glyphSize, 0.06f * widgets::TextFit::smallest - 1e-6f) << "never below the smallest";
    EXPECT_FLOAT_EQ(beside.glyphSize, 0.06f);
    EXPECT_FLOAT_EQ(alone.glyphSize, 0.06f) << "a line further right on another row is no neighbour";

    // A new value is fitted as well, and a short one takes its full size again.
    kit::Text* line = panel.lines[2];
    widgets::setText(line, std::string(70, 'x'));
    EXPECT_LT(line->glyphSize, 0.06f);
    EXPECT_LE(rightOf(*line), 1.0f - widgets::panelMargin + 1e-5f) << "within the plate, less its margin";
    widgets::setText(line, "short");
    EXPECT_FLOAT_EQ(line->glyphSize, 0.06f);
}

TEST_F(FittedWords, ASettingsLabelEndsBeforeItsValueAndTheValueBeforeTheEnd)
{
    MenuRow row;
    row.label = std::string(50, 'l');
    row.value = [] { return std::string(40, 'v'); };
    MenuRow action;
    action.label = std::string(50, 'a');
    RowMenu* menu = addRowMenu(world(), {row, action}, {glm::vec2(-1.0f, 0.5f), 0.1f, 0.2f, 0.06f, 1.0f}, [] {});
    frame();
    const kit::Text* label = nullptr;
    const kit::Text* value = nullptr;
    const kit::Text* actionLabel = nullptr;
    for (kit::Component* c : world()->getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
        const auto* text = static_cast<kit::Text*>(c);
        if (text->colour.r < 0.1f)
            continue; // an outline
        if (text->text().find("lll") != std::string::npos)
            label = text;
        else if (text->text().find("vvv") != std::string::npos)
            value = text;
        else if (text->text().find("aaa") != std::string::npos)
            actionLabel = text;
    }
    ASSERT_TRUE(label && value && actionLabel) << menu->count();
    EXPECT_LE(rightOf(*label), 0.2f + 1e-5f) << "the label stops where the values start";
    EXPECT_LE(rightOf(*value), 1.0f + 1e-5f);
    EXPECT_GT(rightOf(*actionLabel), 0.2f) << "a line without a value has the width to the end";
    EXPECT_LE(rightOf(*actionLabel), 1.0f + 1e-5f);
}

TEST_F(FittedWords, WordsBreakAtSpacesToFitTheirWidthAndKeepTheirOwnBreaks)
{
    // At a glyph size whose advance is 0.1 a line of n letters covers n + 1 advances.
    const float size = 0.1f / widgets::glyphAdvance(1.0f);
    EXPECT_EQ(widgets::wrapWords("aa bb cc dd", 0.95f, size), (std::vector<std::string>{"aa bb cc", "dd"}))
        << "eight letters' room: three words and their spaces, never four";
    EXPECT_EQ(widgets::wrapWords("aa bb cc dd", 0.85f, size), (std::vector<std::string>{"aa bb", "cc dd"}));
    EXPECT_EQ(widgets::wrapWords("aa bb cc dd", 0.55f, size), (std::vector<std::string>{"aa", "bb", "cc", "dd"}));
    EXPECT_EQ(widgets::wrapWords("aa bb cc dd", 1.25f, size), (std::vector<std::string>{"aa bb cc dd"}));
    EXPECT_EQ(widgets::wrapWords("aa\nbb cc", 2.0f, size), (std::vector<std::string>{"aa", "bb cc"}));
    EXPECT_EQ(widgets::wrapWords("a verylongword b", 0.55f, size), (std::vector<std::string>{"a", "verylongword", "b"}))
        << "a word longer than the room stands alone, whole";
    EXPECT_EQ(widgets::wrapWords("short", 2.0f, size), (std::vector<std::string>{"short"}));
    EXPECT_EQ(widgets::wrapWords("", 2.0f, size), (std::vector<std::string>{""}));
}

// Six lines 0.1 apart from y 0.5 with room down to 0.25: three in view.
TEST_F(FittedWords, AMenuWithMoreLinesThanItsRoomScrollsToTheChosenLine)
{
    std::vector<MenuRow> rows(6);
    for (int i = 0; i < 6; ++i)
        rows[static_cast<std::size_t>(i)].label = "line" + std::to_string(i);
    rows[0].value = [] { return std::string(25, 'v'); }; // long enough to reach the bar
    RowLayout layout{glm::vec2(-1.0f, 0.5f), 0.1f, 0.2f, 0.06f, 1.0f, 0.25f};
    EXPECT_EQ(layout.fitting(), 3);
    RowMenu* menu = addRowMenu(world(), rows, layout, [] {});
    frame();
    EXPECT_EQ(menu->bar.shown, 3);
    // Each line's bottom as drawn, or none while out of view.
    const auto placeOf = [&](int line) -> std::optional<float> {
        for (kit::Component* c : world()->getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
            const auto* text = static_cast<kit::Text*>(c);
            if (text->colour.r < 0.1f || text->text().find("line" + std::to_string(line)) == std::string::npos)
                continue;
            if (!text->enabled)
                return std::nullopt;
            return text->origin.y + world()->getComponent<kit::Transform>(text->entityId)->worldPosition().y;
        }
        ADD_FAILURE() << "no line " << line;
        return std::nullopt;
    };
    const auto thumbTop = [&] {
        const auto* place = world()->getComponent<kit::Transform>(menu->bar.thumb->entityId);
        return place->worldPosition().y + menu->bar.thumb->height() * 0.5f;
    };
    ASSERT_NE(menu->bar.thumb, nullptr);
    // The value ends before the bar's track, at the menu's right edge.
    for (kit::Component* c : world()->getComponentCollection(kit::typeId<kit::Sprite>())->toVector()) {
        const auto* plate = static_cast<kit::Sprite*>(c);
        const float x = world()->getComponent<kit::Transform>(plate->entityId)->worldPosition().x;
        EXPECT_GT(x - plate->width() / 2, 0.9f) << "the bar at the right edge";
        for (kit::Component* t : world()->getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
            const auto* text = static_cast<kit::Text*>(t);
            if (text->colour.r > 0.1f && text->text().find("vvv") != std::string::npos) {
                EXPECT_LE(rightOf(*text), x - plate->width() / 2 + 1e-5f) << "the value runs under the bar";
            }
        }
    }
    EXPECT_NEAR(thumbTop(), menu->bar.trackTop, 1e-5f) << "at the top of its track";
    EXPECT_NEAR(menu->bar.thumb->height(), (menu->bar.trackTop - menu->bar.trackBottom) * 0.5f, 1e-5f) << "half the lines in view";
    for (int line = 0; line < 3; ++line)
        EXPECT_NEAR(placeOf(line).value_or(-9.0f), 0.5f - 0.1f * static_cast<float>(line), 1e-5f);
    EXPECT_FALSE(placeOf(3).has_value());

    menu->selected = 4; // down past the last line in view: that line comes up to the foot
    frame();
    EXPECT_EQ(menu->firstShown(), 2);
    EXPECT_FALSE(placeOf(1).has_value());
    EXPECT_NEAR(placeOf(2).value_or(-9.0f), 0.5f, 1e-5f);
    EXPECT_NEAR(placeOf(4).value_or(-9.0f), 0.3f, 1e-5f);
    EXPECT_FALSE(placeOf(5).has_value());
    EXPECT_NEAR(thumbTop(), menu->bar.trackTop - (menu->bar.trackTop - menu->bar.trackBottom) * 2.0f / 6.0f, 1e-5f);

    menu->selected = 5;
    frame();
    EXPECT_EQ(menu->firstShown(), 3);
    menu->selected = 3; // up within the view: it stays
    frame();
    EXPECT_EQ(menu->firstShown(), 3);
    menu->selected = 0; // round to the top
    frame();
    EXPECT_EQ(menu->firstShown(), 0);
    EXPECT_NEAR(placeOf(0).value_or(-9.0f), 0.5f, 1e-5f);
    EXPECT_FALSE(placeOf(3).has_value());
    EXPECT_NEAR(thumbTop(), menu->bar.trackTop, 1e-5f);
}

TEST_F(FittedWords, AMenuThatFitsItsRoomNeitherScrollsNorHasABar)
{
    std::vector<MenuRow> rows(3);
    for (int i = 0; i < 3; ++i)
        rows[static_cast<std::size_t>(i)].label = "line" + std::to_string(i);
    const RowLayout layout{glm::vec2(-1.0f, 0.5f), 0.1f, 0.2f, 0.06f, 1.0f, 0.3f};
    EXPECT_EQ(layout.fitting(), 3) << "the last line's bottom just at the room's foot";
    RowMenu* menu = addRowMenu(world(), rows, layout, [] {});
    menu->selected = 2;
    frame();
    EXPECT_EQ(menu->bar.shown, 0);
    EXPECT_EQ(menu->bar.thumb, nullptr);
    EXPECT_EQ(menu->firstShown(), 0);
    EXPECT_GT(RowLayout{}.fitting(), 1000) << "no foot: every line fits";
}

} // namespace
