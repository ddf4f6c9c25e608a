#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/input/VirtualGamepadJoystick.h"
#include "game/input/VirtualGamepadKeyboard.h"
#include "support/FakeJoystickDriver.h"

#include <gtest/gtest.h>

#include <memory>

using namespace skyscuffle;

namespace {

constexpr float diagonal = 0.70710678f;

void expectNear(glm::vec2 actual, glm::vec2 expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

struct KeyboardPad : ::testing::Test {
    kit::Window window;
    kit::Application app{&window, nullptr};
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    VirtualGamepadKeyboard* pad = nullptr;

    void SetUp() override
    {
        app.setWorld(world);
        pad = world->emplaceComponent<VirtualGamepadKeyboard>(world->createEntity());
    }
    void hold(int key) { window.key(key, 0, 1, 0); }
    void release(int key) { window.key(key, 0, 0, 0); }
};

} // namespace

TEST_F(KeyboardPad, IsFoundAsAVirtualGamepad)
{
    EXPECT_EQ(world->getComponent(pad->entityId, kit::tagId("virtualGamepad")), pad);
    EXPECT_EQ(world->getComponent<VirtualGamepad>(pad->entityId), pad);
    EXPECT_EQ(world->getComponent<VirtualGamepadKeyboard>(pad->entityId), pad);
}

TEST_F(KeyboardPad, DirectionsAddUpAndAreLimitedToLengthOne)
{
    expectNear(pad->direction(), {0.0f, 0.0f});
    hold(kit::keys::w);
    hold(kit::keys::d);
    expectNear(pad->direction(), {diagonal, diagonal});
    hold(kit::keys::s);
    release(kit::keys::d);
    expectNear(pad->direction(), {0.0f, 0.0f}); // W and S cancel
    release(kit::keys::s);
    release(kit::keys::w);
    hold(kit::keys::up);
    expectNear(pad->direction(), {0.0f, 1.0f});
    hold(kit::keys::w);
    expectNear(pad->direction(), {0.0f, 1.0f}); // (0, 2) limited
    release(kit::keys::up);
    release(kit::keys::w);
    hold(kit::keys::left);
    hold(kit::keys::down);
    expectNear(pad->direction(), {-diagonal, -diagonal});
}

TEST_F(KeyboardPad, ButtonsFollowTheirKeys)
{
    const int keys[8] = {kit::keys::z,      kit::keys::x,      kit::keys::c,      kit::keys::digit1,
                         kit::keys::digit2, kit::keys::digit3, kit::keys::digit4, kit::keys::v};
    for (int button = 0; button < 8; ++button) {
        EXPECT_FALSE(pad->isButtonDown(button));
        hold(keys[button]);
        for (int other = 0; other < 8; ++other)
            EXPECT_EQ(pad->isButtonDown(other), other == button) << "key for " << button << ", asked " << other;
        release(keys[button]);
    }
    hold(kit::keys::z);
    EXPECT_FALSE(pad->isButtonDown(8));
    EXPECT_FALSE(pad->isButtonDown(-1));
}

TEST_F(KeyboardPad, AClonedPadIsUnattachedAndStillReadsTheKeyboardOnceAdded)
{
    std::unique_ptr<VirtualGamepad> copy(pad->clone());
    EXPECT_NE(dynamic_cast<VirtualGamepadKeyboard*>(copy.get()), nullptr);
    EXPECT_EQ(copy->world, nullptr);
    EXPECT_EQ(copy->tags, pad->tags);
    EXPECT_EQ(copy->entityId, pad->entityId);
    auto other = world->createEntity();
    VirtualGamepad* added = copy.release();
    world->addComponent(other, added);
    EXPECT_EQ(world->getComponent<VirtualGamepad>(pad->entityId), pad); // the original is untouched
    hold(kit::keys::x);
    EXPECT_TRUE(added->isButtonDown(1));
}

TEST(KeyboardPadOutsideAWorld, ReadsNothing)
{
    VirtualGamepadKeyboard pad;
    EXPECT_FALSE(pad.isButtonDown(0));
    EXPECT_EQ(pad.direction(), glm::vec2(0.0f));
}

namespace {

struct JoystickPad : ::testing::Test {
    kit::Window window;
    test::FakeJoystickDriver* driver = new test::FakeJoystickDriver;
    kit::JoystickManager manager{window, std::unique_ptr<kit::JoystickDriver>(driver)};
    test::FakeJoystickDriver::Device* device = nullptr;
    std::unique_ptr<VirtualGamepadJoystick> pad;

    void SetUp() override
    {
        device = &driver->plugXboxPad(0);
        pad = std::make_unique<VirtualGamepadJoystick>(&manager.joystick(0));
        window.frame();
    }
    void press(int glfwButton, bool down = true)
    {
        device->buttons[static_cast<std::size_t>(glfwButton)] = down ? 1 : 0;
        window.frame();
    }
};

} // namespace

TEST_F(JoystickPad, ShouldersDashAndFireLikeTheFaceButtons)
{
    press(4); // LB
    EXPECT_TRUE(pad->isButtonDown(0));
    press(4, false);
    press(1); // B
    EXPECT_TRUE(pad->isButtonDown(0));
    press(1, false);
    press(5); // RB
    EXPECT_TRUE(pad->isButtonDown(1));
    EXPECT_FALSE(pad->isButtonDown(0));
    press(5, false);
    press(0); // A
    EXPECT_TRUE(pad->isButtonDown(1));
    press(0, false);
    press(2); // X
    EXPECT_TRUE(pad->isButtonDown(2));
    press(2, false);
    press(3); // Y: ping
    EXPECT_TRUE(pad->isButtonDown(7));
    press(3, false);
    const int dpad[4] = {10, 11, 12, 13}; // up, right, down, left: taunts 3 to 6
    for (int i = 0; i < 4; ++i) {
        press(dpad[i]);
        EXPECT_TRUE(pad->isButtonDown(3 + i));
        press(dpad[i], false);
    }
    EXPECT_FALSE(pad->isButtonDown(9));
}

TEST_F(JoystickPad, SticksAddUpWithYFlipped)
{
    device->axes = {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f}; // left stick fully down-left
    window.frame();
    expectNear(pad->direction(), {-diagonal, -diagonal});
    device->axes = {0.02f, -0.01f, 0.0f, 0.0f, 0.0f}; // resting slightly off centre: no dead zone
    window.frame();
    expectNear(pad->direction(), {0.02f, 0.01f});
    device->axes = {0.5f, 0.0f, 0.0f, -0.25f, 0.25f}; // both sticks count
    window.frame();
    expectNear(pad->direction(), {0.75f, 0.25f});
}

TEST_F(JoystickPad, ThePlayersDeadZoneSwallowsRestingSticksAndStretchesTheRest)
{
    kit::settings::setPlayer("tuning.joystick.deadZone", "0.2");
    device->axes = {0.1f, -0.15f, 0.0f, 0.0f, 0.0f}; // inside the zone
    window.frame();
    EXPECT_EQ(pad->direction(), glm::vec2(0.0f));
    device->axes = {0.6f, 0.0f, 0.0f, 0.0f, 0.0f}; // half way through the rest of the throw
    window.frame();
    expectNear(pad->direction(), {0.5f, 0.0f});
    device->axes = {0.0f, -1.0f, 0.0f, 0.0f, 0.0f}; // the edge still steers fully
    window.frame();
    expectNear(pad->direction(), {0.0f, 1.0f});
    device->axes = {0.0f, 0.0f, 0.0f, 0.1f, 0.1f}; // the right stick too
    window.frame();
    EXPECT_EQ(pad->direction(), glm::vec2(0.0f));
    kit::settings::clearPlayer("tuning.joystick.deadZone");
    window.frame();
    expectNear(pad->direction(), {0.1f, -0.1f});
}

TEST_F(JoystickPad, AnUnpluggedPadLetsGoAndAnswersWhenBack)
{
    press(0); // fire held
    device->axes = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    window.frame();
    device->present = false; // pulled out with the button still down
    for (int i = 0; i < 20; ++i)
        window.frame();
    EXPECT_FALSE(manager.isConnected(0));
    EXPECT_FALSE(pad->isButtonDown(1)) << "an unplugged pad must not keep firing";
    EXPECT_EQ(pad->direction(), glm::vec2(0.0f)) << "the plane glides on a centred stick";

    device->present = true; // plugged back in, button released meanwhile
    device->buttons[0] = 0;
    device->axes = {0.0f, -1.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 20; ++i)
        window.frame();
    EXPECT_TRUE(manager.isConnected(0));
    EXPECT_FALSE(pad->isButtonDown(1));
    expectNear(pad->direction(), {0.0f, 1.0f});
    press(0);
    EXPECT_TRUE(pad->isButtonDown(1));

    std::unique_ptr<VirtualGamepad> copy(pad->clone());
    EXPECT_EQ(static_cast<VirtualGamepadJoystick*>(copy.get())->joystick, &manager.joystick(0));
}

TEST(AIPad, ReportsTheFirstThreeButtonsAndTheStick)
{
    ArtificialIntelligence ai;
    VirtualGamepadAI pad(&ai);
    ai.buttons = {true, true, true};
    EXPECT_TRUE(pad.isButtonDown(0));
    EXPECT_TRUE(pad.isButtonDown(1));
    EXPECT_TRUE(pad.isButtonDown(2));
    for (int taunt = 3; taunt < 8; ++taunt)
        EXPECT_FALSE(pad.isButtonDown(taunt));
    ai.stick = {3.0f, 4.0f};
    expectNear(pad.direction(), {0.6f, 0.8f});
    ai.stick = {0.3f, 0.0f};
    expectNear(pad.direction(), {0.3f, 0.0f});

    std::unique_ptr<VirtualGamepad> copy(pad.clone());
    EXPECT_EQ(static_cast<VirtualGamepadAI*>(copy.get())->ai, &ai);
}

TEST(AIPad, TheIntelligenceStartsOverWhenAdded)
{
    kit::Window window;
    kit::Application app(&window, nullptr);
    auto world = std::make_shared<kit::World>();
    app.setWorld(world);
    auto* ai = new ArtificialIntelligence;
    ai->stick = {1.0f, 0.0f};
    ai->buttons[1] = true;
    ai->target = kit::EntityHandle{kit::EntityID{1, 2}, world.get()};
    world->addComponent(world->createEntity(), ai);
    EXPECT_EQ(ai->stick, glm::vec2(0.0f));
    EXPECT_FALSE(ai->buttons[1]);
    EXPECT_TRUE(ai->target.empty());
    EXPECT_TRUE(ai->hasTag(kit::tagId("artificialIntelligence")));
}
