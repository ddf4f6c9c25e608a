#include "engine/core/Window.h"
#include "engine/input/JoystickManager.h"
#include "support/FakeJoystickDriver.h"

#include <gtest/gtest.h>

namespace {

struct Joysticks : ::testing::Test {
    kit::Window window;
    test::FakeJoystickDriver* driver = new test::FakeJoystickDriver;
    kit::JoystickManager manager{window, std::unique_ptr<kit::JoystickDriver>(driver)};
    std::vector<std::string> events;
    std::vector<kit::ScopedConnection> connections;

    void SetUp() override
    {
        connections.emplace_back(manager.connected.connect(
            [this](kit::Joystick* j) { events.push_back("connected " + std::to_string(j->id)); }));
        connections.emplace_back(manager.disconnected.connect(
            [this](kit::Joystick* j) { events.push_back("disconnected " + std::to_string(j->id)); }));
        connections.emplace_back(manager.buttonPressed.connect([this](kit::Joystick::ButtonInfo b) {
            events.push_back("press " + std::to_string(b.joystick->id) + ":" + std::to_string(b.button));
        }));
        connections.emplace_back(manager.buttonReleased.connect([this](kit::Joystick::ButtonInfo b) {
            events.push_back("release " + std::to_string(b.joystick->id) + ":" + std::to_string(b.button));
        }));
        connections.emplace_back(manager.moved.connect([this](kit::Joystick::AxisInfo a) {
            events.push_back("move " + std::to_string(a.joystick->id) + " " + std::to_string(a.value.x) + "," +
                             std::to_string(a.value.y));
        }));
    }

    // One frame of the game loop: the manager polls on the window's frame signal.
    void frames(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            window.frame();
    }
};

} // namespace

TEST_F(Joysticks, PresenceChecksAreStaggeredOnePerFrame)
{
    frames(1);
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(driver->presenceChecks[static_cast<std::size_t>(slot)], 1) << "every slot in the first frame";
    for (int frame = 1; frame <= 32; ++frame) {
        auto before = driver->presenceChecks;
        frames(1);
        int checked = 0;
        for (int slot = 0; slot < 16; ++slot) {
            const int delta = driver->presenceChecks[static_cast<std::size_t>(slot)] - before[static_cast<std::size_t>(slot)];
            checked += delta;
            EXPECT_EQ(delta, (frame + slot) % 16 == 0 ? 1 : 0) << "frame " << frame << " slot " << slot;
        }
        EXPECT_EQ(checked, 1);
    }
}

TEST_F(Joysticks, AFirstSeenPadReportsItsEventsBeforeConnected)
{
    auto& pad = driver->plugXboxPad(2);
    pad.buttons[0] = 1;
    pad.axes[0] = -1.0f;
    frames(1);
    EXPECT_EQ(events, (std::vector<std::string>{"press 2:0", "move 2 -1.000000,0.000000", "connected 2"}));
    EXPECT_TRUE(manager.isConnected(2));
    EXPECT_TRUE(manager.joystick(2).isXboxPad);
    events.clear();
    frames(5); // nothing changes: nothing fires
    EXPECT_TRUE(events.empty());
}

TEST_F(Joysticks, XboxPadButtonsFollowTheirTable)
{
    auto& pad = driver->plugXboxPad(0);
    frames(1);
    events.clear();
    pad.buttons[6] = 1; // back
    pad.buttons[1] = 1; // B
    frames(1);
    EXPECT_EQ(events, (std::vector<std::string>{"press 0:1", "press 0:8"}));
    EXPECT_TRUE(manager.joystick(0).isButtonDown(8));
    EXPECT_FALSE(manager.joystick(0).isButtonDown(6)); // never read on a pad
    pad.buttons[6] = 0;
    frames(1);
    EXPECT_EQ(events.back(), "release 0:8");
}

TEST_F(Joysticks, GenericDevicesUseTheOtherTableAndPairAxes)
{
    auto& stick = driver->plugGeneric(1, 3, 4);
    frames(1);
    events.clear();
    stick.buttons[0] = 1;
    stick.axes = {0.5f, 0.25f, 1.0f}; // the third axis has no partner and is ignored
    frames(1);
    EXPECT_EQ(events, (std::vector<std::string>{"press 1:2", "move 1 0.500000,0.250000"}));
    EXPECT_FALSE(manager.joystick(1).isXboxPad);
    EXPECT_EQ(manager.joystick(1).sticks.size(), 1u);
    // Table entries beyond the device's 4 buttons are skipped.
    EXPECT_FALSE(manager.joystick(1).isButtonDown(7));
}

TEST_F(Joysticks, PadSticksTakeTheirAxesAndIgnoreTheTriggers)
{
    auto& pad = driver->plugXboxPad(0);
    frames(1);
    events.clear();
    pad.axes = {0.0f, 0.0f, 0.9f, -0.5f, 0.25f};
    frames(1);
    EXPECT_EQ(events, (std::vector<std::string>{"move 0 0.250000,-0.500000"}));
    EXPECT_EQ(manager.joystick(0).stick(1), glm::vec2(0.25f, -0.5f));
    EXPECT_EQ(manager.joystick(0).stick(7), glm::vec2(0.0f));
}

TEST_F(Joysticks, UnpluggingKeepsTheStaleStateWithoutAReleaseEvent)
{
    auto& pad = driver->plugXboxPad(3);
    pad.buttons[0] = 1;
    frames(1);
    events.clear();
    pad.present = false;
    int waited = 0;
    while (manager.isConnected(3) && waited < 20) {
        frames(1);
        ++waited;
    }
    EXPECT_LE(waited, 16);
    EXPECT_EQ(events, std::vector<std::string>{"disconnected 3"});
    EXPECT_TRUE(manager.joystick(3).isButtonDown(0)); // stale until the pad returns

    pad.present = true;
    pad.buttons[0] = 0;
    frames(16);
    EXPECT_EQ(events.back(), "connected 3");
    EXPECT_EQ(events[events.size() - 2], "release 3:0");
}

TEST(JoystickTables, LogicalButtonsMapToDeviceButtons)
{
    EXPECT_EQ(kit::Joystick::physicalButton(true, 8), 6);
    EXPECT_EQ(kit::Joystick::physicalButton(true, 6), -1);
    EXPECT_EQ(kit::Joystick::physicalButton(false, 2), 0);
    EXPECT_EQ(kit::Joystick::physicalButton(false, 0), 1);
    EXPECT_EQ(kit::Joystick::physicalButton(false, 16), -1);
    EXPECT_EQ(kit::Joystick::physicalButton(true, -1), -1);
}
