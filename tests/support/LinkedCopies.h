#pragma once

#include "PlaneRig.h"

#include "game/match/MatchFunctions.h"

#include "engine/core/Window.h"
#include "engine/core/World.h"
#include "engine/core/application/Application.h"
#include "engine/network/NetworkSystem.h"

#include <cstdint>
#include <iostream>
#include <memory>
#include <sstream>
#include <utility>

using namespace skyscuffle;

namespace test {

// Two copies of the game in one process, linked without sockets: each has a
// started world of its own origin with a network system and the match's
// named functions. What one copy's network system would send reaches the
// other as on a quiet link: the named calls a copy made in a frame before
// the other's next frame, and the state records of what it owns every
// `framesPerRecord` frames (4 frames of 1/120 s: thirty a second, as the
// game sends them). What the copies print goes to `console`, not to the
// test's output.
struct LinkedCopies {
    struct Copy {
        explicit Copy(std::uint32_t origin, std::uint16_t port) : address{0x7F000001, port}
        {
            world->origin = origin;
            world->addComponent(kit::EntityHandle{world->systemEntity(), world.get()}, network);
            app.setWorld(world);
            registerGameplayFunctions(*world);
        }

        kit::Window window; // detached: no display needed
        kit::Application app{&window, nullptr};
        std::shared_ptr<kit::World> world = std::make_shared<kit::World>();
        kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
        kit::NetAddress address; // where its packets seem to come from
    };

    LinkedCopies() = default;
    LinkedCopies(const LinkedCopies&) = delete;
    LinkedCopies& operator=(const LinkedCopies&) = delete;
    ~LinkedCopies() { std::cout.rdbuf(previousConsole_); }

    std::ostringstream console;

private:
    std::streambuf* previousConsole_ = std::cout.rdbuf(console.rdbuf());

public:
    Copy owner{0xA1000000, 16601};
    Copy other{0xB2000000, 16602};
    float dt = 1.0f / 120.0f;
    int framesPerRecord = 4;
    int frameCount = 0;

    // One frame of both copies: the state records due arrive, then each copy
    // runs its frame, and what it called reaches the other copy.
    void frame()
    {
        if (frameCount % framesPerRecord == 0) {
            sendState(owner, other);
            sendState(other, owner);
        }
        ++frameCount;
        // Calls the test made between frames go first, as the next batch would carry them.
        sendCalls(owner, other);
        sendCalls(other, owner);
        owner.world->update(dt);
        sendCalls(owner, other);
        other.world->update(dt);
        sendCalls(other, owner);
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }

    // A plane of the owning copy, on both copies (the test steers it on the owner's).
    std::pair<PlaneRig, PlaneRig> plane(glm::vec3 at, glm::vec3 nose = glm::vec3(1, 0, 0))
    {
        const kit::EntityID id = owner.world->createEntity().id;
        return {PlaneRig::build(*owner.world, at, nose, id, true), PlaneRig::build(*other.world, at, nose, id, true)};
    }
    // A plane of the other copy, on both: first the other copy's, then the owner's view of it.
    std::pair<PlaneRig, PlaneRig> otherPlane(glm::vec3 at, glm::vec3 nose = glm::vec3(1, 0, 0))
    {
        const kit::EntityID id = other.world->createEntity().id;
        return {PlaneRig::build(*other.world, at, nose, id, true), PlaneRig::build(*owner.world, at, nose, id, true)};
    }

    static void sendState(Copy& from, Copy& to)
    {
        for (const kit::NetStream& packet : from.network->buildStatePackets())
            to.network->handlePacket(received(packet, from));
    }
    // The calls queued since the last batch, as one batch; none goes as nothing.
    static void sendCalls(Copy& from, Copy& to)
    {
        kit::NetStream& calls = from.network->pendingCalls;
        if (calls.bytesUsed() == 0)
            return;
        calls.write(std::uint8_t{0});
        to.network->handlePacket(received(calls, from));
        calls.clear();
    }
    static kit::NetPeer::Packet received(const kit::NetStream& packet, const Copy& from)
    {
        return kit::NetPeer::Packet{std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()),
                                    from.address, from.address.port};
    }
};

} // namespace test
