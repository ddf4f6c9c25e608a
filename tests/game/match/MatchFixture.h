// The match world's fixture: copies of the game on one hidden window with the
// game's assets, run from the repository root, and the match bucket loaded.
#pragma once

#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/LANDiscoverySystem.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceBucket.h"
#include "support/GlContext.h"
#include "support/MatchCopy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifndef SKYSCUFFLE_SOURCE_DIR
#error "SKYSCUFFLE_SOURCE_DIR must name the repository"
#endif

namespace test {

class Match : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR); // the game's assets
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        audio = std::make_unique<audio::AudioSystem>();
    }
    void TearDown() override
    {
        copies.clear();
        kit::settings::set("tuning.gameWorld.matchLength", "180");
        kit::SettingsEntryBase::refreshAll();
        std::filesystem::current_path(previous_);
    }
    MatchCopy& copy(std::uint32_t origin)
    {
        copies.push_back(std::make_unique<MatchCopy>(*gl.window, gl.state.get(), origin, *audio));
        return *copies.back();
    }
    static void loadTheMatch()
    {
        kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/gameWorld.txt");
        for (int i = 0; i < 20000 && !bucket.isLoaded(); ++i) {
            kit::AsyncResourceManagerBase::updateAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Frames of two copies side by side until `done` holds (false after 1 500).
    static bool together(MatchCopy& a, MatchCopy& b, const std::function<bool()>& done)
    {
        for (int i = 0; i < 1500; ++i) {
            a.frame();
            b.frame();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    template <class T> static std::size_t count(kit::World& world)
    {
        return world.getComponentCollection(kit::typeId<T>())->size();
    }

    GlContext gl{800, 600};
    std::unique_ptr<audio::AudioSystem> audio;
    std::vector<std::unique_ptr<MatchCopy>> copies;
    std::filesystem::path previous_;
};

// How often a line appears in the console text.
inline std::size_t occurrences(const std::string& text, const std::string& line)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++n;
    return n;
}

// LAN discovery on a copy's system entity, as the game has it; it binds no
// port: only what it would announce counts.
inline kit::LANDiscoverySystem* addDiscovery(MatchCopy& c)
{
    auto* discovery = new kit::LANDiscoverySystem({}, 4, 1.0f);
    discovery->addTag(kit::tagId("persistant"));
    c.world().addComponent(kit::EntityHandle{c.world().systemEntity(), &c.world()}, discovery);
    return discovery;
}

} // namespace test
