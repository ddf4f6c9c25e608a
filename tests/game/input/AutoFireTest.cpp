// Auto-fire as the keyboard and pad players' gamepads give it: the gun down
// with nothing held, a press that stops or starts it (never a key held),
// each set of keys and each pad slot by its own choice, and only where a
// plane carries its AutoFire; computer pilots fire as they choose.
#include "game/input/AutoFire.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/input/VirtualGamepadJoystick.h"
#include "game/input/VirtualGamepadKeyboard.h"

#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "support/FakeJoystickDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace skyscuffle;

namespace {

constexpr int gun = VirtualGamepad::gun;

struct AutoFireInput : ::testing::Test {
    kit::Window window;
    test::FakeJoystickDriver* driver = new test::FakeJoystickDriver;
    kit::JoystickManager pads{window, std::unique_ptr<kit::JoystickDriver>(driver)};
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    std::vector<std::string> chosen;

    void SetUp() override { app.setWorld(world); }
    void TearDown() override
    {
        for (const std::string& key : chosen)
            kit::settings::clearPlayer(key);
    }
    // A player's choice of auto-fire, by its key.
    void choose(const std::string& key)
    {
        kit::settings::setPlayer(key, "1");
        chosen.push_back(key);
    }
    // A gamepad on a plane of its own, with its AutoFire unless `inMatch` is
    // false (the join screen, the menus).
    template <class Pad> Pad* plane(Pad* pad, bool inMatch = true)
    {
        const kit::EntityHandle entity = world->createEntity();
        world->addComponent(entity, pad);
        if (inMatch)
            world->addComponent(entity, new AutoFire);
        return pad;
    }
    void hold(int key) { window.key(key, 0, 1, 0); }
    void release(int key) { window.key(key, 0, 0, 0); }
    void step() { world->update(1.0f / 60.0f); }
};

} // namespace

TEST_F(AutoFireInput, TheGunFiresWithNothingHeldAndEachPressStopsOrStartsIt)
{
    choose("tuning.input.autoFire.keyboard1");
    auto* pad = plane(new VirtualGamepadKeyboard(0));
    step();
    EXPECT_TRUE(pad->isButtonDown(gun)) << "nothing held: it fires";
    EXPECT_FALSE(pad->isButtonHeld(gun));
    EXPECT_FALSE(pad->isButtonDown(VirtualGamepad::dash)) << "the gun alone";
    hold(kit::keys::x);
    for (int i = 0; i < 5; ++i) {
        step();
        EXPECT_FALSE(pad->isButtonDown(gun)) << "a press stops it, and holding on does not start it again: " << i;
    }
    release(kit::keys::x);
    step();
    EXPECT_FALSE(pad->isButtonDown(gun)) << "let go, it stays stopped";
    hold(kit::keys::x);
    for (int i = 0; i < 5; ++i) {
        step();
        EXPECT_TRUE(pad->isButtonDown(gun)) << "the next press starts it: " << i;
    }
    release(kit::keys::x);
    step();
    EXPECT_TRUE(pad->isButtonDown(gun));
}

TEST_F(AutoFireInput, OffTheGunIsItsKeyAndEachSetHasItsOwnChoice)
{
    choose("tuning.input.autoFire.keyboard2");
    auto* first = plane(new VirtualGamepadKeyboard(0));
    auto* second = plane(new VirtualGamepadKeyboard(1));
    step();
    EXPECT_FALSE(first->isButtonDown(gun)) << "the first set did not choose it";
    EXPECT_TRUE(second->isButtonDown(gun));
    hold(kit::keys::x);
    step();
    EXPECT_TRUE(first->isButtonDown(gun)) << "off, the key fires as ever";
    EXPECT_TRUE(second->isButtonDown(gun)) << "X is the first set's key, not the second's";
    release(kit::keys::x);
    step();
    EXPECT_FALSE(first->isButtonDown(gun));
}

TEST_F(AutoFireInput, AKeyHeldAsTheMatchStartsIsNoPress)
{
    choose("tuning.input.autoFire.keyboard1");
    hold(kit::keys::x); // the join key, still held
    auto* pad = plane(new VirtualGamepadKeyboard(0));
    step();
    EXPECT_TRUE(pad->isButtonDown(gun));
    release(kit::keys::x);
    step();
    EXPECT_TRUE(pad->isButtonDown(gun));
    hold(kit::keys::x);
    step();
    EXPECT_FALSE(pad->isButtonDown(gun));
}

TEST_F(AutoFireInput, WithoutAPlaneTheGunIsNeverDownUnheld)
{
    // A joined player's gamepad on the join screen or a menu: the gun's key
    // is the join key there, and nobody holds it.
    choose("tuning.input.autoFire.keyboard1");
    auto* pad = plane(new VirtualGamepadKeyboard(0), false);
    for (int i = 0; i < 3; ++i) {
        step();
        EXPECT_FALSE(pad->isButtonDown(gun));
    }
    hold(kit::keys::x);
    step();
    EXPECT_TRUE(pad->isButtonDown(gun));
}

TEST_F(AutoFireInput, APadFollowsTheChoiceOfItsSlot)
{
    auto& device = driver->plugXboxPad(2);
    for (int i = 0; i < 20; ++i)
        window.frame();
    choose("tuning.input.autoFire.pad2"); // the second slot's, not this one's
    auto* pad = plane(new VirtualGamepadJoystick(&pads.joystick(2)));
    step();
    EXPECT_FALSE(pad->isButtonDown(gun));
    choose("tuning.input.autoFire.pad3");
    step();
    EXPECT_TRUE(pad->isButtonDown(gun)) << "pad 3 is the pad in slot 2";
    device.buttons[0] = 1; // A
    window.frame();
    step();
    EXPECT_FALSE(pad->isButtonDown(gun));
    EXPECT_TRUE(pad->isButtonHeld(gun));
}

TEST_F(AutoFireInput, AComputerPilotFiresOnlyAsItChooses)
{
    for (const char* key :
         {"tuning.input.autoFire.keyboard1", "tuning.input.autoFire.keyboard2", "tuning.input.autoFire.pad1"})
        choose(key);
    const kit::EntityHandle entity = world->createEntity();
    auto* ai = new ArtificialIntelligence;
    world->addComponent(entity, ai);
    auto* pad = new VirtualGamepadAI(ai);
    world->addComponent(entity, pad);
    world->addComponent(entity, new AutoFire);
    step();
    ai->buttons[gun] = false;
    EXPECT_FALSE(pad->isButtonDown(gun));
    ai->buttons[gun] = true;
    EXPECT_TRUE(pad->isButtonDown(gun));
}
