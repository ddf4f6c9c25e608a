// The credits: six pages in turn, then the main menu; Escape, B or Back
// leave at once; entering them ends any network session.
#include "ScreenFixture.h"

#include "game/screens/CreditsScreen.h"
#include "game/screens/MainMenu.h"
#include "game/screens/ScreenRegistry.h"
#include "game/screens/ScreenSwitch.h"

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

} // namespace
