#pragma once

#include "GlContext.h"
#include "MatchCopy.h"

#include "game/match/ScoreTable.h"
#include "game/players/PlayerInfo.h"
#include "game/sound/audio/AudioSystem.h"

#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/network/HostMigration.h"
#include "engine/network/NetworkSystem.h"
#include "engine/resources/AsyncResourceManagerBase.h"
#include "engine/resources/ResourceBucket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

using namespace skyscuffle;

#ifndef SKYSCUFFLE_SOURCE_DIR
#error "SKYSCUFFLE_SOURCE_DIR must name the repository"
#endif

namespace test {

// Copies of the game in one process on a hidden window with the game's
// assets, connected on loopback inside the private network namespace: one
// hosts, the others join it. Tuning values a test sets are put back after it.
// The console is captured (see said()).
class MatchSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(SKYSCUFFLE_SOURCE_DIR); // the game's assets
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(gl.ready()) << "no OpenGL context: run the suite through `make test`";
        audio = std::make_unique<audio::AudioSystem>();
        testing::internal::CaptureStdout();
        kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/gameWorld.txt");
        for (int i = 0; i < 20000 && !bucket.isLoaded(); ++i) {
            kit::AsyncResourceManagerBase::updateAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void TearDown() override
    {
        copies.clear();
        testing::internal::GetCapturedStdout();
        for (const auto& [key, value] : tuned_)
            kit::settings::set(key, value);
        kit::SettingsEntryBase::refreshAll();
        std::filesystem::current_path(previous_);
    }
    // The console since the test began, or since the last look.
    static std::string said()
    {
        std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }
    // A tuning value for this test only; `normal` is what it goes back to.
    void tune(const std::string& key, const std::string& value, const std::string& normal)
    {
        tuned_.emplace(key, normal);
        kit::settings::set(key, value);
        kit::SettingsEntryBase::refreshAll();
    }
    MatchCopy& copy(std::uint32_t origin)
    {
        copies.push_back(std::make_unique<MatchCopy>(*gl.window, gl.state.get(), origin, *audio));
        running.push_back(true);
        return *copies.back();
    }
    // The first copy hosts, the others join it; each has `players` computer
    // pilots; every copy knows every player and the session's roster.
    void openSession(const std::vector<std::uint32_t>& origins, int players = 1)
    {
        for (std::uint32_t origin : origins)
            copy(origin);
        copies[0]->network->host(0, 8);
        // One after the other: the session's order of arrival is the order listed.
        for (std::size_t i = 1; i < copies.size(); ++i) {
            copies[i]->network->join("127.0.0.1", copies[0]->network->peer->boundPort());
            ASSERT_TRUE(until([&] { return copies[0]->network->peers().contains(copies[i]->world().origin); }));
        }
        ASSERT_TRUE(until([&] { return copies[0]->network->peer->connectionCount() == copies.size() - 1; }));
        int colour = 0;
        for (auto& c : copies) {
            for (int p = 0; p < players; ++p)
                c->addPlayer(colour++);
        }
        const std::size_t everyone = copies.size() * static_cast<std::size_t>(players);
        ASSERT_TRUE(until([&] {
            for (std::size_t i = 0; i < copies.size(); ++i) {
                if (copies[i]->world().getEntities(kit::typeId<PlayerInfo>())->size() != everyone)
                    return false;
                const auto& roster = copies[i]->network->migration().roster();
                if (i > 0 && (!roster || roster->members.size() != copies.size() - 1))
                    return false;
            }
            return true;
        })) << "the session did not gather";
    }
    // Frames of every running copy side by side until `done` holds (false
    // after `seconds` of wall clock). Paced, a frame of 1/60 s takes at least
    // that long: a copy judges its host gone by the wall clock, and a match
    // must not race to its end meanwhile.
    bool until(const std::function<bool()>& done, int seconds = 20)
    {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        auto next = Clock::now();
        while (Clock::now() < end) {
            for (std::size_t i = 0; i < copies.size(); ++i) {
                if (running[i])
                    copies[i]->frame();
            }
            if (done())
                return true;
            next += std::chrono::microseconds(paced ? 16667 : 1000);
            if (next < Clock::now())
                next = Clock::now();
            std::this_thread::sleep_until(next);
        }
        return false;
    }
    // A copy gone as a crashed one goes: no goodbye, no more frames.
    void vanish(std::size_t i)
    {
        copies[i]->network->peer->abandon();
        running[i] = false;
    }
    // A copy that left the session for its menus: a goodbye, no more frames.
    void leave(std::size_t i)
    {
        copies[i]->network->reset();
        running[i] = false;
    }
    // `client` plays in the session that `host` hosts.
    static bool joinedTo(MatchCopy& client, MatchCopy& host)
    {
        const kit::NetworkSystem& h = *host.network;
        const auto record = h.peers().find(client.world().origin);
        return !client.network->isServer() && h.isServer() && record != h.peers().end() &&
               h.peer->connectionState(record->second.address) == kit::NetPeer::ConnectionState::connected;
    }
    // Remembers the first table "endGame" brings to each copy's current (match) world.
    void recordTables()
    {
        for (auto& c : copies) {
            MatchCopy* at = c.get();
            c->network->registerFunction(c->world(), fn::endGame, [this, at](kit::EntityHandle, const ScoreTable& t) {
                tables.try_emplace(at, t);
            });
        }
    }
    template <class T> static std::size_t count(kit::World& world)
    {
        return world.getComponentCollection(kit::typeId<T>())->size();
    }

    GlContext gl{800, 600};
    std::unique_ptr<audio::AudioSystem> audio;
    std::vector<std::unique_ptr<MatchCopy>> copies;
    std::vector<bool> running;
    std::map<MatchCopy*, ScoreTable> tables;
    bool paced = false;

private:
    std::filesystem::path previous_;
    std::map<std::string, std::string> tuned_;
};

} // namespace test
