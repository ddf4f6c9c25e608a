// The text field: what it takes from the keyboard, the key that opened it,
// Enter, the ways to close it, and the menus it locks while it has the keys.
#include "WidgetWorld.h"

#include "game/widgets/Overlay.h"
#include "game/widgets/PictureMenu.h"
#include "game/widgets/TextField.h"

using namespace skyscuffle;

namespace {

struct TextFields : test::WidgetWorld {
    std::vector<std::string> submitted;

    TextField* field(std::size_t maxLength = 10)
    {
        auto* made = world->emplaceComponent<TextField>(
            world->createEntity(), std::vector<kit::EntityHandle>{}, kit::EntityHandle{}, kit::EntityHandle{},
            std::vector<kit::EntityHandle>{}, TextField::Limits{maxLength, 34, 54});
        made->onSubmit = [this](const std::string& text) { submitted.push_back(text); };
        return made;
    }
    void typeKeys(TextField* f, const std::string& characters)
    {
        for (const char c : characters)
            f->onCharacter(static_cast<unsigned char>(c));
    }
};

TEST_F(TextFields, TakesPrintableCharactersAndBlanksAsFarAsTheyFit)
{
    TextField* f = field(10);
    f->open();
    typeKeys(f, "ab c");
    f->onCharacter(0x7F);   // delete: no character
    f->onCharacter(0x1F);   // a control character
    f->onCharacter(0x00E9); // beyond ASCII
    EXPECT_EQ(f->text(), "ab c");
    f->type("~0123456789");
    EXPECT_EQ(f->text(), "ab c~01234") << "ten characters at most";
    f->erase();
    EXPECT_EQ(f->text(), "ab c~0123");
}

// A long text shows its end, where the typing is; a message is cut short on
// its one line, or broken at its blanks (a word longer than a line where the
// line ends) onto as many lines as the field has for it, the last cut short.
TEST(TextFieldLines, WhatFitsOfTheTextAndOfTheMessageOnItsLines)
{
    const TextField::Limits one{40, 6, 12, 1};
    EXPECT_EQ(TextField::shownText("192.168.1.20", one), "<.1.20_");
    EXPECT_EQ(TextField::shownText("10.0.0", one), "10.0.0_");
    EXPECT_EQ(TextField::shownMessage("one two three four five six", one), "one two t...");

    const TextField::Limits two{40, 6, 12, 2};
    EXPECT_EQ(TextField::shownMessage("one two three", two), "one two\nthree");
    EXPECT_EQ(TextField::shownMessage("one two three four five six", two), "one two\nthree fou...");
    EXPECT_EQ(TextField::shownMessage("abcdefghijklmnopqrstuvwxyz", two), "abcdefghijkl\nmnopqrstu...");
    EXPECT_EQ(TextField::shownMessage("it is: abcdefghijklmnop", two), "it is:\nabcdefghi...");
    EXPECT_EQ(TextField::shownMessage("short", two), "short");
    EXPECT_EQ(TextField::shownMessage("", two), "");
}

// One line where the words fit, shrunk a tenth at most; more where they do not.
TEST(LinesWithin, OneLineWhereTheWordsFitNearlyAtTheirSizeElseMore)
{
    const float size = 0.1f, advance = widgets::glyphAdvance(size);
    const std::string words = "twenty characters ok"; // 20 glyphs: 21 advances from the line's start
    EXPECT_EQ(linesWithin(words, 0.0f, advance * 21.0f, size), std::vector<std::string>{words});
    EXPECT_EQ(linesWithin(words, 0.0f, advance * 19.0f, size), std::vector<std::string>{words}) << "shrunk 10 %";
    EXPECT_EQ(linesWithin(words, 0.0f, advance * 18.0f, size), (std::vector<std::string>{"twenty characters", "ok"}));
}

TEST_F(TextFields, AClosedFieldTakesNothing)
{
    TextField* f = field();
    typeKeys(f, "ab");
    f->onKey(key(kit::keys::enter));
    EXPECT_EQ(f->text(), "");
    EXPECT_TRUE(submitted.empty());
}

TEST_F(TextFields, TheCharacterOfTheKeyThatOpenedItIsDroppedOnce)
{
    TextField* f = field();
    f->open('c');
    typeKeys(f, "Cc");
    EXPECT_EQ(f->text(), "c") << "the opening key's C is no part of the text";
    f->close();
    f->open('c');
    f->update(0.0f); // its character never came: the next C is typed
    typeKeys(f, "c");
    EXPECT_EQ(f->text(), "c");
}

TEST_F(TextFields, EnterSubmitsTheTextAndOpeningAgainStartsEmpty)
{
    TextField* f = field();
    f->open();
    typeKeys(f, "lanbox");
    f->onKey(key(kit::keys::keypadEnter));
    f->onKey(key(kit::keys::enter, true)); // full screen, not a submission
    EXPECT_EQ(submitted, std::vector<std::string>{"lanbox"});
    f->say("Looking");
    EXPECT_EQ(f->message(), "Looking");
    f->close();
    f->open();
    EXPECT_EQ(f->text(), "");
    EXPECT_EQ(f->message(), "");
}

TEST_F(TextFields, EscapeBAndBackCloseIt)
{
    TextField* f = field();
    for (const auto& close : {std::function<void()>([&] { f->onKey(key(kit::keys::escape)); }),
                              std::function<void()>([&] { f->onButton(button(kit::pad::b)); }),
                              std::function<void()>([&] { f->onButton(button(kit::pad::back)); })}) {
        f->open();
        close();
        EXPECT_FALSE(f->isOpen());
        f->update(0.0f);
    }
    f->open();
    f->onButton(button(kit::pad::a));
    EXPECT_TRUE(f->isOpen()) << "A types nothing and closes nothing";
}

TEST_F(TextFields, WhileOpenAndInTheFrameItClosesInTheMenusAreLocked)
{
    auto* menu = world->emplaceComponent<PictureMenu>(world->createEntity(), std::vector<MenuOption>(2),
                                                      std::vector<glm::vec2>{});
    TextField* f = field();
    f->open();
    EXPECT_TRUE(menu->locked);
    EXPECT_TRUE(f->holdsKeys());
    f->onKey(key(kit::keys::escape));
    EXPECT_TRUE(menu->locked) << "the Escape that closed the field is not the menu's";
    EXPECT_TRUE(f->holdsKeys());
    f->update(0.0f);
    EXPECT_FALSE(menu->locked);
    EXPECT_FALSE(f->holdsKeys());
}

} // namespace
