// The main menu's "local" choice: a placeholder with its keys.
#include "ScreenFixture.h"

#include "game/screens/PlaceholderScreen.h"

using namespace skyscuffle;

namespace {

using namespace kit::keys;

class Placeholder : public test::Screens {
protected:
    void SetUp() override
    {
        Screens::SetUp();
        start(createPlaceholderScreen);
        frame();
    }
};

TEST_F(Placeholder, EnterReturnsToTheMainMenu)
{
    EXPECT_EQ(count("Creating Main Menu"), 1) << "the placeholder announces itself as a menu";
    tap(enter);
    EXPECT_EQ(count("Creating Main Menu"), 2);
    EXPECT_NE(world()->getComponentCollection(kit::tagId("pictureMenu"))->first(), nullptr);
}

TEST_F(Placeholder, EscapeEndsTheGame)
{
    press(escape);
    EXPECT_FALSE(app->running);
}

TEST_F(Placeholder, ControlAndOneGoStraightIntoTheMatch)
{
    tap(digit1);
    EXPECT_FALSE(logged("Creating Game World")) << "1 alone does nothing";
    tap(digit1, 2 /* control */);
    EXPECT_TRUE(logged("Creating Game World"));
}

} // namespace
