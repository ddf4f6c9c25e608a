// The navigation every menu shares, through its two ways of showing: moving
// round the ends, choosing, changing, going back, the sounds of each, the
// lock, and a key caught for binding.
#include "WidgetWorld.h"

#include "game/widgets/PictureMenu.h"
#include "game/widgets/RowMenu.h"

#include "engine/physics/Transform.h"

using namespace skyscuffle;

namespace {

struct MenuLists : test::WidgetWorld {
    std::vector<int> chosen;

    // A picture menu of `count` options; choosing one notes its index.
    PictureMenu* pictureMenu(int count)
    {
        std::vector<MenuOption> options;
        std::vector<glm::vec2> positions;
        for (int i = 0; i < count; ++i) {
            MenuOption o;
            o.world = world.get();
            o.action = [this, i] { chosen.push_back(i); };
            options.push_back(o);
            positions.emplace_back(0.0f, -0.1f * static_cast<float>(i));
        }
        const kit::EntityHandle e = world->createEntity();
        world->emplaceComponent<kit::Transform>(e, glm::vec3(0.0f));
        return world->emplaceComponent<PictureMenu>(e, std::move(options), std::move(positions));
    }
};

TEST_F(MenuLists, UpOnTheFirstEntrySelectsTheLastAndDownOnTheLastTheFirst)
{
    PictureMenu* menu = pictureMenu(3);
    EXPECT_EQ(menu->selected, 0);
    menu->onKey(key(kit::keys::up));
    EXPECT_EQ(menu->selected, 2);
    menu->onKey(key(kit::keys::down));
    EXPECT_EQ(menu->selected, 0);
    menu->onKey(key(kit::keys::down));
    EXPECT_EQ(menu->selected, 1);
    menu->onButton(button(kit::pad::down));
    EXPECT_EQ(menu->selected, 2);
    menu->onButton(button(kit::pad::down));
    EXPECT_EQ(menu->selected, 0) << "the pad goes round too";
    menu->onButton(button(kit::pad::up));
    EXPECT_EQ(menu->selected, 2);
    EXPECT_EQ(times("upDown"), 6) << "every move sounds, by key or by pad";
    EXPECT_EQ(times("click"), 0);
}

TEST_F(MenuLists, ThePictureMenuStandsAtTheSelectedOptionsCursorPosition)
{
    PictureMenu* menu = pictureMenu(3);
    menu->onKey(key(kit::keys::up));
    menu->update(0.0f);
    EXPECT_FLOAT_EQ(world->getComponent<kit::Transform>(menu->entityId)->position.y, -0.2f);
}

TEST_F(MenuLists, EnterAndTheirPadButtonsChooseTheSelectedEntryButAltEnterDoesNot)
{
    PictureMenu* menu = pictureMenu(3);
    menu->onKey(key(kit::keys::down));
    menu->onKey(key(kit::keys::enter));
    menu->onKey(key(kit::keys::keypadEnter));
    EXPECT_EQ(chosen, (std::vector<int>{1, 1}));
    menu->onKey(key(kit::keys::enter, true)); // full screen, not a choice
    EXPECT_EQ(chosen.size(), 2u);
    menu->onButton(button(kit::pad::a));
    menu->onButton(button(kit::pad::start));
    menu->onButton(button(kit::pad::x));
    EXPECT_EQ(chosen, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(times("click"), 4);
}

TEST_F(MenuLists, ALockedMenuHearsNothing)
{
    PictureMenu* menu = pictureMenu(3);
    menu->locked = true;
    menu->onKey(key(kit::keys::down));
    menu->onKey(key(kit::keys::enter));
    menu->onButton(button(kit::pad::down));
    menu->onButton(button(kit::pad::a));
    EXPECT_EQ(menu->selected, 0);
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(heard.empty());
    menu->locked = false;
    menu->onKey(key(kit::keys::enter));
    EXPECT_EQ(chosen, std::vector<int>{0});
}

TEST_F(MenuLists, AnEmptyMenuNeitherMovesNorChooses)
{
    PictureMenu* menu = pictureMenu(0);
    menu->onKey(key(kit::keys::down));
    menu->onKey(key(kit::keys::enter));
    EXPECT_EQ(menu->selected, 0);
    EXPECT_TRUE(heard.empty());
}

struct RowMenus : test::WidgetWorld {
    int value = 0;
    int chosen = 0;
    int backs = 0;

    RowMenu* rowMenu()
    {
        std::vector<MenuRow> rows(3);
        rows[0].label = "Value";
        rows[0].change = [this](int step) { value += step; };
        rows[1].label = "Action";
        rows[1].choose = [this] { ++chosen; };
        rows[2].label = "Nothing";
        return world->emplaceComponent<RowMenu>(world->createEntity(), std::move(rows), std::vector<kit::Text*>{},
                                                std::vector<kit::Text*>{}, [this] { ++backs; });
    }
};

TEST_F(RowMenus, LeftAndRightChangeARowThatHasAValueAndClick)
{
    RowMenu* menu = rowMenu();
    menu->onKey(key(kit::keys::right));
    menu->onKey(key(kit::keys::right));
    menu->onButton(button(kit::pad::left));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(times("click"), 3);
    menu->onKey(key(kit::keys::down));
    menu->onKey(key(kit::keys::right));
    menu->onKey(key(kit::keys::left));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(times("click"), 3) << "a row with nothing to change stays silent";
}

TEST_F(RowMenus, EnterRunsTheRowsChoiceOrStepsItsValueOn)
{
    RowMenu* menu = rowMenu();
    menu->onKey(key(kit::keys::enter));
    EXPECT_EQ(value, 1) << "a row without a choice of its own steps its value";
    menu->onKey(key(kit::keys::down));
    menu->onButton(button(kit::pad::a));
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(value, 1);
}

TEST_F(RowMenus, EscapeBAndBackGoBack)
{
    RowMenu* menu = rowMenu();
    menu->onKey(key(kit::keys::escape));
    menu->onButton(button(kit::pad::b));
    menu->onButton(button(kit::pad::back));
    EXPECT_EQ(backs, 3);
}

TEST_F(RowMenus, ACaughtKeyGoesToTheCatcherUntilItIsDone)
{
    RowMenu* menu = rowMenu();
    std::vector<int> caught;
    menu->catchKey = [&](const kit::Keyboard::KeyInfo& k) {
        caught.push_back(k.key);
        return k.key != kit::keys::f11; // F11 is refused: the next key is the catcher's too
    };
    menu->onButton(button(kit::pad::down));
    EXPECT_EQ(menu->selected, 0) << "the pad is not heard while a key is awaited";
    menu->onKey(key(kit::keys::f11));
    menu->onKey(key(kit::keys::down));
    EXPECT_EQ(caught, (std::vector<int>{kit::keys::f11, kit::keys::down}));
    EXPECT_EQ(menu->selected, 0) << "the keys went to the catcher";
    EXPECT_FALSE(menu->catchKey);
    menu->onKey(key(kit::keys::down));
    EXPECT_EQ(menu->selected, 1) << "once done, the keys drive the menu again";
}

} // namespace
