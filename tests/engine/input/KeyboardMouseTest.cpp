#include "engine/core/Window.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/Mouse.h"

#include <gtest/gtest.h>

namespace {

constexpr int release = 0, press = 1, repeat = 2;
constexpr int shiftBit = 1, controlBit = 2, altBit = 4;

struct KeyboardInput : ::testing::Test {
    kit::Window window;
    kit::Keyboard keyboard{window};
    std::vector<kit::Keyboard::KeyInfo> pressed, released;
    kit::ScopedConnection p = keyboard.keyPressed.connect([this](kit::Keyboard::KeyInfo k) { pressed.push_back(k); });
    kit::ScopedConnection r = keyboard.keyReleased.connect([this](kit::Keyboard::KeyInfo k) { released.push_back(k); });
};

} // namespace

TEST_F(KeyboardInput, HoldingAKeyGivesOnePressAndOneRelease)
{
    window.key(kit::keys::x, 53, press, 0);
    EXPECT_TRUE(keyboard.isKeyDown(kit::keys::x));
    window.key(kit::keys::x, 53, repeat, 0);
    window.key(kit::keys::x, 53, repeat, 0);
    EXPECT_TRUE(keyboard.isKeyDown(kit::keys::x));
    window.key(kit::keys::x, 53, release, 0);
    EXPECT_FALSE(keyboard.isKeyDown(kit::keys::x));
    EXPECT_EQ(pressed.size(), 1u);
    EXPECT_EQ(released.size(), 1u);
}

TEST_F(KeyboardInput, ModifierBitsBecomeFlags)
{
    window.key(kit::keys::a, 38, press, shiftBit);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].key, 65);
    EXPECT_TRUE(pressed[0].shift);
    EXPECT_FALSE(pressed[0].alt);
    EXPECT_FALSE(pressed[0].control);

    window.key(kit::keys::l, 46, press, controlBit | altBit);
    EXPECT_TRUE(pressed[1].control);
    EXPECT_TRUE(pressed[1].alt);
    EXPECT_FALSE(pressed[1].shift);
}

TEST_F(KeyboardInput, UnknownKeysAndCharactersAreSafe)
{
    window.key(-1, 0, press, 0); // GLFW_KEY_UNKNOWN
    window.key(100000, 0, press, 0);
    EXPECT_FALSE(keyboard.isKeyDown(-1));
    EXPECT_FALSE(keyboard.isKeyDown(100000));
    EXPECT_EQ(pressed.size(), 2u);

    std::vector<unsigned int> typed;
    kit::ScopedConnection c =
        keyboard.character.connect([&](kit::Keyboard::CharInfo i) { typed.push_back(i.codePoint); });
    window.character(0x00E9);
    EXPECT_EQ(typed, std::vector<unsigned int>{0x00E9});
}

TEST_F(KeyboardInput, TheClipboardIsTheWindows)
{
    EXPECT_EQ(keyboard.clipboardText(), "");
    window.setClipboardText("10.0.0.9");
    EXPECT_EQ(keyboard.clipboardText(), "10.0.0.9");
}

TEST(MouseInput, EventsBecomeTypedSignals)
{
    kit::Window window;
    kit::Mouse mouse(window);
    std::vector<std::string> log;
    kit::ScopedConnection a = mouse.buttonPressed.connect(
        [&](kit::Mouse::ButtonInfo b) { log.push_back("press " + std::to_string(b.button)); });
    kit::ScopedConnection b = mouse.buttonReleased.connect(
        [&](kit::Mouse::ButtonInfo b) { log.push_back("release " + std::to_string(b.button)); });
    kit::ScopedConnection c = mouse.moved.connect([&](kit::Mouse::MovementInfo m) {
        log.push_back("move " + std::to_string(int(m.x)) + "," + std::to_string(int(m.y)));
    });
    kit::ScopedConnection d = mouse.entered.connect([&] { log.push_back("entered"); });
    kit::ScopedConnection e = mouse.left.connect([&] { log.push_back("left"); });
    kit::ScopedConnection f = mouse.scrolled.connect(
        [&](kit::Mouse::WheelInfo w) { log.push_back("scroll " + std::to_string(int(w.offsetY))); });

    window.mouseButton(1, 1, 0);
    window.mouseButton(1, 0, 0);
    window.mouseButton(1, 2, 0); // no such action: nothing
    window.cursorMoved(12.7, 40.2);
    window.cursorEntered(1);
    window.cursorEntered(0);
    window.scroll(0.0, -3.0);
    EXPECT_EQ(log, (std::vector<std::string>{"press 1", "release 1", "move 12,40", "entered", "left", "scroll -3"}));
}
