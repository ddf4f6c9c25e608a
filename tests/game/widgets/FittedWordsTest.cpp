// Words fitted to their room: a panel's line to its plate or to the next line
// beside it, and nothing else; a settings menu's label to its value column.
#include "game/screens/ScreenFixture.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/Panel.h"
#include "game/widgets/RowMenu.h"
#include "game/widgets/TextFit.h"

#include "engine/render/Text.h"

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

} // namespace
