// Copies of a session in one process, connected on loopback inside the
// private network namespace, and the fixture that opens a session of them:
// shared by the tests of a host's departure, of the replays that follow it
// and of the roster that decides the next host.
#pragma once

#include "engine/core/World.h"
#include "engine/network/HostMigration.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace test {

inline constexpr kit::NamedFunction<std::string> recordCall{"record"};

struct SessionCopy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    std::vector<std::string> log;
    std::vector<std::pair<std::uint32_t, kit::NetworkSystem::Departure>> gone;
    kit::ScopedConnection watching;
    bool running = true; // a copy that vanished gets no more frames

    explicit SessionCopy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        network->registerFunction(recordCall,
                                  [this](kit::EntityHandle, const std::string& text) { log.push_back(text); });
        watching = network->copyGone.connect(
            [this](std::uint32_t origin, kit::NetworkSystem::Departure why) { gone.emplace_back(origin, why); });
    }
    void frame()
    {
        if (running)
            world.update(1.0f / 60.0f);
    }
    void say(const std::string& text) { network->callFunction(recordCall, world.systemEntity(), text); }
    [[nodiscard]] std::size_t heard(const std::string& text) const
    {
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), text));
    }
    [[nodiscard]] bool connected() const { return network->peer->connectionCount() > 0; }
    // Gone as a crashed copy goes: no goodbye, no more frames.
    void vanish()
    {
        network->peer->abandon();
        running = false;
    }
};

// Frames on every copy until the condition holds; false after `seconds` of wall clock.
inline bool runUntil(const std::vector<SessionCopy*>& copies, const std::function<bool()>& done, int seconds = 15)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        for (SessionCopy* c : copies)
            c->frame();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// Frames for a while, for whatever is still on its way to arrive.
inline void settle(const std::vector<SessionCopy*>& copies)
{
    runUntil(
        copies, [] { return false; }, 1);
}

// A host and clients: every client knows the whole session (the roster).
class HostChange : public ::testing::Test {
protected:
    void open(std::vector<std::uint32_t> origins)
    {
        testing::internal::CaptureStdout();
        for (std::uint32_t origin : origins)
            copies.push_back(std::make_unique<SessionCopy>(origin));
        // The session's port lies below the system's ephemeral range: when
        // the host vanishes, no other test's client socket can take it before
        // the next host opens it again.
        std::random_device entropy;
        for (int attempt = 0; attempt < 20 && port == 0; ++attempt) {
            const auto wanted = static_cast<std::uint16_t>(20000 + entropy() % 12000);
            host().network->host(wanted, 8);
            if (host().network->peer->boundPort() == wanted)
                port = wanted;
        }
        ASSERT_NE(port, 0) << "no free port for the session";
        // One after the other: the session's order of arrival is the order listed.
        for (std::size_t i = 1; i < copies.size(); ++i) {
            copies[i]->network->join("127.0.0.1", port);
            ASSERT_TRUE(runUntil(all(), [&] { return host().network->peers().contains(copies[i]->world.origin); }));
        }
        ASSERT_TRUE(runUntil(all(), [&] {
            for (std::size_t i = 1; i < copies.size(); ++i) {
                const auto& roster = copies[i]->network->migration().roster();
                if (!roster || roster->members.size() != copies.size() - 1)
                    return false;
            }
            return true;
        })) << "the roster did not reach every client";
    }
    void TearDown() override
    {
        copies.clear();
        // The failures' own lines went to the captured console too.
        const std::string console = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::cout << console;
    }
    // The console since the session opened (or since the last look).
    static std::string said()
    {
        std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }
    SessionCopy& host() { return *copies[0]; }
    SessionCopy& copy(std::size_t i) { return *copies[i]; }
    std::vector<SessionCopy*> all()
    {
        std::vector<SessionCopy*> list;
        for (auto& c : copies)
            list.push_back(c.get());
        return list;
    }
    std::vector<SessionCopy*> without(std::size_t i)
    {
        std::vector<SessionCopy*> list = all();
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        return list;
    }
    // `client` is connected to the copy `hosting` hosts as.
    static bool joinedTo(SessionCopy& client, SessionCopy& hosting)
    {
        return client.connected() && !client.network->isServer() && hosting.network->isServer() &&
               hosting.network->peers().contains(client.world.origin) &&
               hosting.network->peer->connectionState(hosting.network->peers().at(client.world.origin).address) ==
                   kit::NetPeer::ConnectionState::connected;
    }

    std::vector<std::unique_ptr<SessionCopy>> copies;
    std::uint16_t port = 0;
};

} // namespace test
