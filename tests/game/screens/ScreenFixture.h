#pragma once

#include "game/players/PlayerFunctions.h"
#include "game/sound/SoundManager.h"
#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Tags.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/input/JoystickManager.h"
#include "engine/input/Keys.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/network/NetworkSystem.h"
#include "engine/render/AnimSegment.h"
#include "engine/render/AnimatedModel.h"
#include "support/FakeJoystickDriver.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

using namespace skyscuffle;

#ifndef SKYSCUFFLE_SOURCE_DIR
#error "SKYSCUFFLE_SOURCE_DIR must name the repository"
#endif

namespace test {

// The game as start-up builds it, on a hidden window under the suite's
// virtual display, run from the repository root so that the screens draw the
// real art: the application, the network system, LAN discovery (bound to no
// port) and the sound manager (silent) on the system entity, joysticks under
// the test's control, and the console captured.
class Screens : public ::testing::Test {
protected:
    explicit Screens(int width = 320, int height = 240) : gl(window(width, height)) {}

    // One window and OpenGL context for every test of the process, at the
    // test's size: the files the screens load belong to the context and stay
    // loaded from one test to the next (several tests of a suite run in one
    // process: the suite's start-up is paid once).
    static GlContext& window(int width, int height)
    {
        static GlContext shared(width, height);
        if (shared.window) {
            shared.window->setWindowedSize({width, height});
            shared.window->pollEvents();
        }
        return shared;
    }

    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR);
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        audio = std::make_unique<audio::AudioSystem>();
        makeApplication();
        out_ = std::cout.rdbuf(log.rdbuf());
    }
    void TearDown() override
    {
        endApplication();
        std::cout.rdbuf(out_);
        std::filesystem::current_path(previous_);
    }

    // The game started again in the same window and OpenGL context, its
    // console emptied; start() gives it its first world. What the last run
    // loaded stays loaded (the loaded files belong to the context, which
    // lives as long as the test).
    void restart()
    {
        endApplication();
        makeApplication();
        log.str("");
    }

    // The first world of the run, built by `setup` with the services in place.
    void start(kit::World::SetupFunction setup)
    {
        auto first = std::make_shared<kit::World>(std::move(setup));
        const kit::EntityHandle system{first->systemEntity(), first.get()};
        network = new kit::NetworkSystem(30.0f);
        network->addTag(kit::tagId("persistant"));
        registerPlayerFunctions(*network);
        first->addComponent(system, network);
        discovery = new kit::LANDiscoverySystem({}, 64, 1.0f);
        discovery->addTag(kit::tagId("persistant"));
        first->addComponent(system, discovery);
        sounds = new SoundManager(*audio);
        sounds->addTag(kit::tagId("persistant"));
        first->addComponent(system, sounds);
        app->setWorld(first);
    }

    // One frame of the game loop: input, update, a pending switch, drawing.
    void frame(float dt = 1.0f / 60.0f) { app->frame(dt); }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }

    // A key pressed and released, as the window reports it (mods: GLFW bits).
    void press(int key, int mods = 0)
    {
        gl.window->key(key, 0, 1, mods);
        gl.window->key(key, 0, 0, mods);
    }
    // A key pressed and released, then one frame.
    void tap(int key, int mods = 0)
    {
        press(key, mods);
        frame();
    }

    // An Xbox pad in a joystick slot, seen by the next frames.
    void plugPad(int slot)
    {
        joystickDriver->plugXboxPad(slot);
        frames(kit::Joystick::presenceInterval + 1);
    }
    // A logical button of an Xbox pad pressed for one frame, then released.
    void pressButton(int slot, int logical)
    {
        const int physical = kit::Joystick::physicalButton(true, logical);
        auto& buttons = joystickDriver->devices[static_cast<std::size_t>(slot)].buttons;
        buttons[static_cast<std::size_t>(physical)] = 1;
        frame();
        buttons[static_cast<std::size_t>(physical)] = 0;
        frame();
    }

    [[nodiscard]] kit::World* world() const { return app->current.get(); }
    // How often a line appears in the console so far.
    [[nodiscard]] int count(const std::string& line) const
    {
        std::istringstream lines(log.str());
        int n = 0;
        for (std::string l; std::getline(lines, l);)
            n += l == line;
        return n;
    }
    [[nodiscard]] bool logged(const std::string& line) const { return count(line) > 0; }
    // The frame the screen's animated mascot shows after `seconds` more of
    // frames; -1 without a playing mascot.
    int mascotFrameAfter(float seconds)
    {
        auto* mascot = static_cast<kit::AnimatedModel*>(
            world()->getComponentCollection(kit::typeId<kit::AnimatedModel>())->first());
        if (!mascot)
            return -1;
        for (float t = 0.0f; t < seconds; t += 1.0f / 60.0f)
            frame();
        const auto* segment = dynamic_cast<const kit::AnimSegment*>(mascot->node.get());
        return segment ? segment->frame() : -1;
    }
    // The number of entities that carry a tag in the current world.
    [[nodiscard]] std::size_t entitiesWith(const char* tag) const
    {
        return world()->getEntities(kit::tagId(tag))->size();
    }

    GlContext& gl;
    std::unique_ptr<audio::AudioSystem> audio;
    std::unique_ptr<kit::Application> app;
    FakeJoystickDriver* joystickDriver = nullptr; // owned by the joystick manager
    kit::NetworkSystem* network = nullptr;        // owned by the worlds, carried along
    kit::LANDiscoverySystem* discovery = nullptr;
    SoundManager* sounds = nullptr;
    std::stringstream log;

private:
    void makeApplication()
    {
        app =
            std::make_unique<kit::Application>(gl.window.get(), gl.state.get(), kit::ApplicationConfig{20.0f, 120.0f});
        joystickDriver = new FakeJoystickDriver;
        app->joysticks =
            std::make_unique<kit::JoystickManager>(*gl.window, std::unique_ptr<kit::JoystickDriver>(joystickDriver));
    }
    void endApplication()
    {
        if (app) {
            app->pending.reset();
            app->current.reset();
        }
        app.reset();
        network = nullptr;
        discovery = nullptr;
        sounds = nullptr;
    }

    std::filesystem::path previous_;
    std::streambuf* out_ = nullptr;
};

} // namespace test
