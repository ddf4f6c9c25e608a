#include "engine/core/application/Application.h"
#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/StopSignals.h"
#include "engine/input/Keys.h"
#include "support/Probe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <utility>
#include <vector>

using test::count;
using test::Probe;

namespace {

struct Switching : ::testing::Test {
    std::vector<std::string> log; // outlives the worlds, whose probes write to it
    kit::Window window;           // detached: the loop runs without a display
    kit::Application app{&window, nullptr};

    // Runs the loop for `frames` frames of `world` (already current); the frame times.
    std::vector<float> runFrames(kit::World& world, std::size_t frames)
    {
        struct Recorder : kit::Behavior {
            std::function<void(float)> record;
            void update(float dt) override { record(dt); }
        };
        std::vector<float> steps;
        auto* recorder = world.emplaceComponent<Recorder>(world.createEntity());
        recorder->record = [&](float dt) {
            steps.push_back(dt);
            if (steps.size() == frames)
                app.stop();
        };
        app.run();
        return steps;
    }

    std::shared_ptr<kit::World> makeWorld(const std::string& name)
    {
        return std::make_shared<kit::World>([this, name](kit::World*) { log.push_back("setup " + name); });
    }
};

} // namespace

TEST_F(Switching, TheFirstWorldBecomesCurrentAtOnceAndReceivesTheServices)
{
    auto first = makeWorld("first");
    app.setWorld(first);
    EXPECT_EQ(app.current, first);
    EXPECT_EQ(log, std::vector<std::string>{"setup first"});
    EXPECT_EQ(first->owner, &app);
    EXPECT_EQ(first->window, &window);
    EXPECT_EQ(first->keyboard, app.keyboard.get());
    EXPECT_EQ(first->mouse, app.mouse.get());
    EXPECT_EQ(first->joysticks, app.joysticks.get());
}

TEST_F(Switching, OnlyTheLastWorldHandedOverInAFrameIsStarted)
{
    app.setWorld(makeWorld("menu"));
    auto dropped = makeWorld("dropped");
    auto chosen = makeWorld("chosen");
    app.setWorld(dropped);
    EXPECT_TRUE(dropped->isStarted()); // a pending world counts as started
    app.setWorld(chosen);
    EXPECT_EQ(app.current->owner, &app);
    log.clear();

    app.frame(0.01f);
    EXPECT_EQ(app.current, chosen);
    EXPECT_EQ(app.pending, nullptr);
    EXPECT_EQ(log, std::vector<std::string>{"setup chosen"});
}

TEST_F(Switching, TheSwitchWaitsForTheEndOfTheUpdatePass)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    auto next = makeWorld("next");
    auto* trigger = menu->emplaceComponent<Probe>(menu->createEntity(), "trigger", log, 0.0f);
    menu->emplaceComponent<Probe>(menu->createEntity(), "after", log, 5.0f);
    trigger->onUpdate = [&] { app.setWorld(next); };
    menu.reset(); // the application holds the only reference now
    log.clear();

    app.frame(0.01f);
    // The rest of the old world's pass ran, then the switch released the old world.
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0], "trigger.update");
    EXPECT_EQ(log[1], "after.update");
    EXPECT_EQ(log[2], "setup next");
    EXPECT_EQ(count(log, "trigger.destroyed"), 1);
    EXPECT_EQ(count(log, "after.destroyed"), 1);
    EXPECT_EQ(app.current, next);
}

TEST_F(Switching, PersistantComponentsMoveWithTheirEntityIds)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    const kit::EntityHandle system{kit::systemEntity(), menu.get()};
    auto* service = new Probe("service", log);
    service->addTag(kit::tagId("persistant"));
    menu->addComponent(system, service);
    auto player = menu->createEntity();
    auto* label = new kit::Label("player");
    label->addTag(kit::tagId("persistant"));
    menu->addComponent(player, label);
    menu->emplaceComponent<Probe>(player, "stays", log);
    menu.reset();
    log.clear();

    auto game = makeWorld("game");
    app.setWorld(game);
    app.frame(0.01f);

    EXPECT_EQ(game->getComponent(kit::systemEntity(), kit::tagId("probe")), service);
    EXPECT_EQ(game->getComponent(player.id, kit::tagId("player")), label);
    EXPECT_EQ(service->entityId, kit::systemEntity());
    EXPECT_EQ(service->world, game.get());
    EXPECT_TRUE(game->entities.contains(player.id));
    EXPECT_EQ(count(log, "service.onRemoved"), 1);
    EXPECT_EQ(count(log, "service.initialize"), 0); // initialised once, in the first world
    EXPECT_EQ(count(log, "service.onAdded"), 2);    // when moved, and from the new world's start
    EXPECT_EQ(count(log, "stays.destroyed"), 1);    // not persistant: went down with the old world
    EXPECT_EQ(count(log, "service.destroyed"), 0);

    // And again to a third world: the service is in every world shown.
    auto third = makeWorld("third");
    app.setWorld(third);
    app.frame(0.01f);
    EXPECT_EQ(third->getComponent(kit::systemEntity(), kit::tagId("probe")), service);
}

TEST_F(Switching, HandingOverTheCurrentWorldAgainChangesNothing)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    auto* service = new Probe("service", log);
    service->addTag(kit::tagId("persistant"));
    menu->addComponent(kit::EntityHandle{kit::systemEntity(), menu.get()}, service);
    log.clear();
    app.setWorld(menu); // would move the persistant service onto itself forever
    app.frame(0.01f);
    EXPECT_EQ(app.current, menu);
    EXPECT_EQ(app.pending, nullptr);
    EXPECT_EQ(count(log, "service.onRemoved"), 0);
}

TEST_F(Switching, TheWindowCloseSignalEndsTheLoop)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    int frames = 0;
    auto* counter = menu->emplaceComponent<Probe>(menu->createEntity(), "counter", log);
    counter->onUpdate = [&] {
        if (++frames == 3)
            window.close();
    };
    app.run();
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(app.running);
}

TEST_F(Switching, RunPacesFramesWithinTheLimits)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    app.maxFrameRate = 120.0f;
    const std::vector<float> steps = runFrames(*menu, 10);
    ASSERT_EQ(steps.size(), 10u);
    for (float dt : steps) {
        EXPECT_GT(dt, 0.0f);
        EXPECT_LE(dt, 0.05f + 1e-6f);
    }
}

TEST_F(Switching, AWorldMayLowerTheFrameRateCapButNeverRaiseIt)
{
    app.maxFrameRate = 120.0f;
    EXPECT_FLOAT_EQ(app.frameRateCap(), 120.0f); // no world yet
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    EXPECT_FLOAT_EQ(app.frameRateCap(), 120.0f); // a world without a cap of its own
    menu->maxFrameRate = 30.0f;
    EXPECT_FLOAT_EQ(app.frameRateCap(), 30.0f);
    menu->maxFrameRate = 240.0f;
    EXPECT_FLOAT_EQ(app.frameRateCap(), 120.0f);
    app.maxFrameRate = 0.0f; // an uncapped loop still honours the world's cap
    EXPECT_FLOAT_EQ(app.frameRateCap(), 240.0f);

    // The next world's cap counts from the switch on.
    auto match = makeWorld("match");
    app.maxFrameRate = 120.0f;
    app.setWorld(match);
    EXPECT_FLOAT_EQ(app.frameRateCap(), 120.0f); // still the menu's until the switch
    app.frame(0.01f, false);
    EXPECT_EQ(app.current, match);
    EXPECT_FLOAT_EQ(app.frameRateCap(), 120.0f);
}

// The loop's cap is the player's setting, a value outside 10 .. 1000 its
// default: 120 frames a second.
TEST(FrameRateCap, IsThePlayersSettingWithinItsRange)
{
    const std::string key = kit::applicationSettings::maxFrameRate.key();
    kit::Window window;
    for (const auto& [chosen, cap] : std::vector<std::pair<std::string, float>>{
             {"30", 30.0f}, {"10", 10.0f}, {"1000", 1000.0f}, {"9", 120.0f}, {"0", 120.0f}, {"1001", 120.0f}}) {
        kit::settings::set(key, chosen);
        const kit::Application app(&window, nullptr);
        EXPECT_FLOAT_EQ(app.maxFrameRate, cap) << chosen;
        EXPECT_FLOAT_EQ(app.minFrameRate, 20.0f);
    }
    kit::settings::set(key, "120");
}

TEST_F(Switching, ACappedWorldSleepsItsFramesOut)
{
    auto menu = makeWorld("menu");
    menu->maxFrameRate = 50.0f;
    app.setWorld(menu);
    app.maxFrameRate = 120.0f;
    const std::vector<float> steps = runFrames(*menu, 6);
    ASSERT_EQ(steps.size(), 6u);
    // Every frame after the first lasts at least the 20 ms the world allows
    // (sleeps are whole milliseconds, so allow one short).
    for (std::size_t i = 1; i < steps.size(); ++i)
        EXPECT_GE(steps[i], 0.019f) << i;
}

TEST_F(Switching, AStillWorldIsDrawnOnlyAfterAChangeAndOnceASecond)
{
    auto menu = makeWorld("menu");
    app.setWorld(menu);
    const float dt = 1.0f / 30.0f;
    auto drawn = [&](int frames) {
        int count = 0;
        for (int i = 0; i < frames; ++i) {
            const bool due = app.drawDue(dt);
            count += due;
            app.frame(dt, due);
        }
        return count;
    };
    EXPECT_EQ(drawn(10), 10); // an ordinary world: every frame

    menu->drawsOnChange = true;
    EXPECT_EQ(drawn(10), 0) << "nothing changed since it was drawn";
    window.key(kit::keys::down, 0, 1, 0); // the player presses a key
    EXPECT_EQ(drawn(10), kit::Application::framesDrawnPerChange);
    window.resized(640, 480);
    EXPECT_EQ(drawn(10), kit::Application::framesDrawnPerChange);
    window.refresh();
    EXPECT_EQ(drawn(10), kit::Application::framesDrawnPerChange);
    EXPECT_EQ(drawn(35), 1) << "a second without a change still draws once";

    // The switch to a still world draws it.
    auto other = makeWorld("other");
    other->drawsOnChange = true;
    drawn(30);
    app.setWorld(other);
    EXPECT_EQ(drawn(10), kit::Application::framesDrawnPerChange);
}

TEST_F(Switching, OnlyWorldsWithACapOfTheirOwnWaitForTheDisplay)
{
    app.verticalSync = true;
    auto menu = std::make_shared<kit::World>([](kit::World* w) { w->maxFrameRate = 30.0f; });
    app.setWorld(menu);
    EXPECT_TRUE(window.verticalSync()) << "a menu swaps in step with the display";
    app.setWorld(makeWorld("match")); // no cap of its own: the loop's 120 frames a second
    app.frame(0.01f, false);
    EXPECT_FALSE(window.verticalSync());
    app.verticalSync = false; // switched off: not even menus wait
    app.setWorld(std::make_shared<kit::World>([](kit::World* w) { w->maxFrameRate = 30.0f; }));
    app.frame(0.01f, false);
    EXPECT_FALSE(window.verticalSync());
}

TEST_F(Switching, EveryDrawnFrameIsAnnouncedAfterItsSwap)
{
    app.setWorld(makeWorld("menu"));
    int shown = 0;
    kit::ScopedConnection c = app.frameShown.connect([&] { ++shown; });
    app.frame(0.01f, true);
    app.frame(0.01f, false); // an update-only frame shows nothing
    app.frame(0.01f, true);
    EXPECT_EQ(shown, 2);
}

TEST(StopSignalsDeathTest, SigtermEndsTheLoopAndTheProcessExitsNormally)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            kit::Window window;
            kit::Application app(&window, nullptr);
            app.setWorld(std::make_shared<kit::World>());
            kit::installStopSignalHandlers();
            std::raise(SIGTERM);
            app.run(); // returns after one frame instead of the process dying
            std::exit(app.running ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// A separate copy (a replay) keeps its own origin and none of this copy's
// persistent entities; they wait aside, through a second separate copy, and
// come back with this copy's origin in the next world of this copy.
TEST_F(Switching, ASeparateCopyKeepsItsOriginAndThisCopysThingsWaitAside)
{
    auto menu = makeWorld("menu");
    menu->origin = 0x1111;
    app.setWorld(menu);
    const kit::EntityHandle system{menu->systemEntity(), menu.get()};
    auto* service = new Probe("service", log);
    service->addTag(kit::tagId("persistant"));
    menu->addComponent(system, service);
    menu.reset();

    for (const std::uint32_t origin : {0x2222u, 0x3333u}) {
        auto replay = makeWorld("replay");
        replay->separateCopy = true;
        replay->origin = origin;
        app.setWorld(replay);
        app.frame(0.01f);
        EXPECT_EQ(app.current, replay);
        EXPECT_EQ(replay->origin, origin) << "its own origin, not this copy's";
        EXPECT_EQ(replay->getComponent(kit::EntityID{0x1111, 0}, kit::tagId("probe")), nullptr);
        EXPECT_EQ(count(log, "service.destroyed"), 0) << "kept aside, alive";
    }

    auto back = makeWorld("back");
    app.setWorld(back);
    app.frame(0.01f);
    EXPECT_EQ(back->origin, 0x1111u);
    EXPECT_EQ(back->getComponent(kit::EntityID{0x1111, 0}, kit::tagId("probe")), service);
    EXPECT_EQ(service->world, back.get());
    EXPECT_EQ(count(log, "service.destroyed"), 0);
}
