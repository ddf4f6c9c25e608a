// The credits: six pages in turn, then the main menu; Escape, B or Back
// leave at once; entering them ends any network session; a page's sentence
// in its two lines as written, or broken anew at a larger text size.
#include "ScreenFixture.h"

#include "game/screens/CreditsScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenSwitch.h"

#include "game/looks/LookSettings.h"
#include "support/ShownText.h"

#include "engine/core/Settings.h"
#include "engine/render/Text.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace skyscuffle;

namespace {

using namespace kit::keys;

class Credits : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start(CreditsScreenInit{0});
        frame();
    }
};

TEST_F(Credits, EnterTurnsThePagesAndTheLastLeadsToTheMainMenu)
{
    EXPECT_EQ(count("Creating Credits Screen"), 1);
    for (int page = 1; page < CreditsScreenInit::pageCount; ++page) {
        tap(enter);
        EXPECT_EQ(count("Creating Credits Screen"), page + 1);
    }
    EXPECT_FALSE(logged("Creating Main Menu"));
    tap(enter);
    EXPECT_EQ(count("Creating Credits Screen"), 6);
    EXPECT_TRUE(logged("Creating Main Menu"));
}

TEST(CreditsByName, TheMenusCreditsOpenOnTheFirstPage)
{
    const kit::World::SetupFunction credits = screens::screenNamed("credits");
    const auto* init = credits.target<CreditsScreenInit>();
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->page, 0);
}

TEST_F(Credits, APageNumberPastTheEndFillsTheMainMenu)
{
    app->setWorld(std::make_shared<kit::World>(CreditsScreenInit{9}));
    frame();
    EXPECT_TRUE(logged("Creating Main Menu"));
    EXPECT_EQ(count("Creating Credits Screen"), 1);
}

TEST_F(Credits, EscapeLeavesAtOnceAndTheJoystickTurnsPagesWithA)
{
    plugPad(0);
    pressButton(0, 0);
    EXPECT_EQ(count("Creating Credits Screen"), 2);
    pressButton(0, 1);
    EXPECT_EQ(count("Creating Main Menu"), 1);
    app->setWorld(std::make_shared<kit::World>(CreditsScreenInit{3}));
    frame();
    pressButton(0, 8);
    EXPECT_EQ(count("Creating Main Menu"), 2);
    app->setWorld(std::make_shared<kit::World>(CreditsScreenInit{2}));
    frame();
    tap(escape);
    EXPECT_EQ(count("Creating Main Menu"), 3);
}

TEST_F(Credits, EndTheNetworkSession)
{
    discovery->hosting = true;
    discovery->announceNow = false;
    tap(enter);
    EXPECT_FALSE(discovery->hosting);
    EXPECT_TRUE(discovery->announceNow);
}

TEST_F(Credits, ASentenceKeepsItsTwoLinesUnlessTheyAreTooLongForTheSize)
{
    const std::string first = "Scuff the mascot, the planes, the drone and the";
    const std::string second = "stage: modelled, rigged and animated by tools/art";
    app->setWorld(std::make_shared<kit::World>(CreditsScreenInit{4}));
    frame();
    EXPECT_TRUE(test::showsText(*world(), first));
    EXPECT_TRUE(test::showsText(*world(), second));

    kit::settings::set(lookSettings::textSize.key(), "200");
    app->setWorld(std::make_shared<kit::World>(CreditsScreenInit{4}));
    frame();
    kit::settings::set(lookSettings::textSize.key(), std::to_string(lookSettings::textSize.fallback()));
    EXPECT_FALSE(test::showsText(*world(), first)) << "too long at twice the size";
    // The white lines over the footer, top to bottom, say the sentence.
    std::vector<const kit::Text*> lines;
    for (kit::Component* c : world()->getComponentCollection(kit::typeId<kit::Text>())->toVector()) {
        const auto* text = static_cast<kit::Text*>(c);
        if (text->colour == glm::vec3(1.0f) && text->origin.y > -0.6f)
            lines.push_back(text);
    }
    std::sort(lines.begin(), lines.end(), [](const auto* a, const auto* b) { return a->origin.y > b->origin.y; });
    std::string said;
    for (const kit::Text* line : lines)
        said += (said.empty() ? "" : " ") + line->text();
    EXPECT_EQ(said, first + " " + second);
    EXPECT_GE(lines.size(), 3u);
}

} // namespace
