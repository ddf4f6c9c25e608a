#pragma once

#include "game/sound/SoundManager.h"
#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Signal.h"
#include "engine/core/World.h"
#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"
#include "engine/input/PadButtons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace test {

// A bare world with a sound manager (silent) that notes every sound played:
// widgets are driven by calling their key and button handlers directly.
struct WidgetWorld : ::testing::Test {
    std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
    std::unique_ptr<skyscuffle::audio::AudioSystem> audio;
    std::vector<std::string> heard;
    kit::ScopedConnection listening;

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        audio = std::make_unique<skyscuffle::audio::AudioSystem>();
        auto* sounds = new skyscuffle::SoundManager(*audio);
        world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, sounds);
        listening = sounds->played.connect([this](const std::string& name) { heard.push_back(name); });
    }
    void TearDown() override
    {
        listening.disconnect();
        world->destroyComponents(world->systemEntity(), kit::typeId<skyscuffle::SoundManager>()); // before the audio
    }

    [[nodiscard]] long times(const char* sound) const { return std::count(heard.begin(), heard.end(), sound); }

    static kit::Keyboard::KeyInfo key(int code, bool alt = false, bool control = false)
    {
        kit::Keyboard::KeyInfo info{};
        info.key = code;
        info.alt = alt;
        info.control = control;
        return info;
    }
    static kit::Joystick::ButtonInfo button(int code)
    {
        kit::Joystick::ButtonInfo info{};
        info.button = code;
        return info;
    }
};

} // namespace test
