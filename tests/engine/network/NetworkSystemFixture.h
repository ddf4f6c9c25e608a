// A copy of the game in a bare world (its network system and a log of the
// calls it ran) and a bare transport connected to one, to see and send the
// raw packets: shared by the tests of what crosses the wire and when.
#pragma once

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace test {

inline constexpr kit::NamedFunction<std::string, float> record{"record"};

// A networked component with a one-byte state.
class Beacon : public kit::Component {
public:
    Beacon()
    {
        addTag(kit::tagId("t"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override { stream.serialize(value); }
    std::string networkTypeName() const override { return "t"; }
    std::uint8_t value = 0xEE;
};

struct Copy {
    kit::World world;
    kit::NetworkSystem* network = new kit::NetworkSystem(30.0f);
    std::vector<std::string> log;

    explicit Copy(std::uint32_t origin)
    {
        world.origin = origin;
        world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
        network->registerFunction(record, [this](kit::EntityHandle e, const std::string& text, float number) {
            EXPECT_EQ(e.world, &world);
            log.push_back(text + ":" + std::to_string(static_cast<int>(number)) + "@" + std::to_string(e.id.serial));
        });
    }
    void frame() { world.update(1.0f / 60.0f); }
};

// A bare transport connected to a copy, to see and send the raw packets.
struct Wiretap : ::testing::Test {
    Copy copy{0x01020304};
    kit::NetPeer tap;
    std::vector<kit::NetPeer::Packet> received;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        copy.network->host(0, 4);
        ASSERT_TRUE(tap.start(0, 1));
        ASSERT_TRUE(tap.connect("127.0.0.1", copy.network->peer->boundPort()));
        ASSERT_TRUE(pump([&] { return copy.network->peer->connectionCount() == 1 && tap.connectionCount() == 1; }));
    }
    void TearDown() override { testing::internal::GetCapturedStdout(); }

    bool pump(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            copy.frame();
            kit::NetPeer::Packet p;
            while (tap.receive(p))
                received.push_back(p);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    const kit::NetPeer::Packet* first(std::uint8_t id)
    {
        for (const auto& p : received)
            if (p.id() == id)
                return &p;
        return nullptr;
    }
    kit::NetAddress copyAddress() { return kit::NetAddress{0x7F000001, copy.network->peer->boundPort()}; }

    // A state packet of no records in the name of a copy: the hosting copy
    // takes the tap for that copy from then on.
    void introduce(std::uint32_t origin)
    {
        kit::NetStream packet;
        packet.write(kit::NetworkSystem::stateUpdateId);
        packet.write(origin);
        packet.write(std::string("tap"));
        packet.write(false);
        ASSERT_TRUE(
            tap.send(packet.data(), packet.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
        ASSERT_TRUE(pump([&] { return copy.network->peers().contains(origin); }));
    }
    void sendCalls(const kit::NetStream& calls)
    {
        ASSERT_TRUE(
            tap.send(calls.data(), calls.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    }
};

} // namespace test
