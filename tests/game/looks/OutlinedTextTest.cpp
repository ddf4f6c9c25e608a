// Outlined words: four dark copies under the words, never over them, all
// keeping the same words when they change.
#include "game/screens/ScreenFixture.h"

#include "game/looks/OutlinedText.h"
#include "game/widgets/Overlay.h"

#include "engine/render/Text.h"

#include <vector>

using namespace skyscuffle;

namespace {

class OutlinedWords : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start([](kit::World* world) { widgets::addOverlay(world, true); });
        frame();
    }
    // The texts on the words' entity, the words' own included.
    std::vector<const kit::Text*> partsOf(const kit::Text& words)
    {
        std::vector<const kit::Text*> parts;
        for (kit::Component* c : *world()->componentsOf(words.entityId)) {
            if (c->hasTag(kit::typeId<kit::Text>()))
                parts.push_back(static_cast<const kit::Text*>(c));
        }
        return parts;
    }
};

TEST_F(OutlinedWords, TheOutlineLiesUnderTheWordsAndFollowsThem)
{
    const glm::vec3 white(1.0f);
    kit::Text* words = widgets::addText(world(), "Ready", glm::vec2(-0.2f, 0.1f), 0.1f, white, true, 12.0f);
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(words->renderPriority(), 12.0f);
    EXPECT_EQ(words->colour, white);
    const std::vector<const kit::Text*> parts = partsOf(*words);
    ASSERT_EQ(parts.size(), 5u) << "the words and four outline copies";
    int outlines = 0;
    for (const kit::Text* part : parts) {
        if (part == words)
            continue;
        ++outlines;
        EXPECT_LT(part->colour.r + part->colour.g + part->colour.b, 0.5f) << "dark";
        EXPECT_LT(part->renderPriority(), words->renderPriority()) << "drawn before the words, under them";
        EXPECT_GT(part->renderPriority(), 11.0f) << "over whatever the layer below draws";
        EXPECT_EQ(part->text(), "Ready");
    }
    EXPECT_EQ(outlines, 4);

    widgets::setText(words, "Go");
    for (const kit::Text* part : partsOf(*words))
        EXPECT_EQ(part->text(), "Go");

    kit::Text* plain = widgets::addText(world(), "Plain", glm::vec2(0.0f), 0.1f, white, false, 12.0f);
    EXPECT_EQ(partsOf(*plain).size(), 1u) << "words without an outline";
}

} // namespace
