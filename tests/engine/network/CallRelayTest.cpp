// What a hosting copy passes on of the calls one connection sends: the
// batch as it came, the batch without its refused calls, or nothing, and the
// host-only calls of the host alone. Real sockets on loopback inside the
// private network namespace.
#include "CallRulesFixture.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using kit::NetworkSystem;
using test::anyones;
using test::batchOf;
using test::Call;
using test::hostOnly;
using test::hostOrigin;
using test::mine;
using test::packetBytes;
using test::stateOf;
using test::tapOrigin;
using test::thirdOrigin;

namespace {

// A hosting copy, one joined copy and two bare transports connected to the
// host: the relaying of what one connection sends to the others.
struct Relay : ::testing::Test {
    struct Copy {
        kit::World world;
        NetworkSystem* network = new NetworkSystem(30.0f);
        std::vector<std::string> ran;
        explicit Copy(std::uint32_t origin)
        {
            world.origin = origin;
            world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
            for (const auto* f : {&mine, &anyones, &hostOnly}) {
                network->registerFunction(*f,
                                          [this, name = std::string(f->name)](kit::EntityHandle, const std::string& t) {
                                              ran.push_back(name + ":" + t);
                                          });
            }
        }
    };
    Copy host{hostOrigin};
    Copy joined{thirdOrigin};
    kit::NetPeer tap, listener;
    std::vector<kit::NetPeer::Packet> heard; // by the listener

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        host.network->host(0, 8);
        const std::uint16_t port = host.network->peer->boundPort();
        joined.network->join("127.0.0.1", port);
        for (kit::NetPeer* p : {&tap, &listener}) {
            ASSERT_TRUE(p->start(0, 1));
            ASSERT_TRUE(p->connect("127.0.0.1", port));
        }
        ASSERT_TRUE(pump([&] { return host.network->peer->connectionCount() == 3 && tap.connectionCount() == 1; }));
        ASSERT_TRUE(pump([&] { return host.network->peers().contains(thirdOrigin); }));
        send(tap, stateOf(tapOrigin));
        ASSERT_TRUE(pump([&] { return host.network->peers().contains(tapOrigin); }));
        heard.clear();
    }
    void TearDown() override
    {
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
    }
    kit::NetAddress hostAddress() { return kit::NetAddress{0x7F000001, host.network->peer->boundPort()}; }
    void send(kit::NetPeer& from, const kit::NetStream& packet)
    {
        ASSERT_TRUE(
            from.send(packet.data(), packet.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, hostAddress()));
    }
    bool pump(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            host.world.update(1.0f / 60.0f);
            joined.world.update(1.0f / 60.0f);
            kit::NetPeer::Packet p;
            while (tap.receive(p)) {
            }
            while (listener.receive(p))
                if (p.id() == NetworkSystem::remoteCallsId)
                    heard.push_back(p);
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
};

} // namespace

TEST_F(Relay, ABatchWithNothingRefusedGoesOnUnchanged)
{
    const kit::NetStream batch = batchOf({{"mine", {tapOrigin, 1}, "a"}, {"anyones", {thirdOrigin, 2}, "b"}});
    send(tap, batch);
    ASSERT_TRUE(pump([&] { return !heard.empty() && joined.ran.size() == 2; }));
    EXPECT_EQ(heard[0].data, packetBytes(batch));
    EXPECT_EQ(joined.ran, (std::vector<std::string>{"mine:a", "anyones:b"}));
    EXPECT_EQ(host.ran, joined.ran);
}

TEST_F(Relay, RefusedCallsAreLeftOutOfTheRelayedBatch)
{
    send(tap, batchOf({{"mine", {tapOrigin, 1}, "a"},
                       {"mine", {thirdOrigin, 1}, "not theirs"},
                       {"hostOnly", {tapOrigin, 1}, "not the host"},
                       {"unknown", {tapOrigin, 1}, ""},
                       {"anyones", {thirdOrigin, 2}, "b"}}));
    ASSERT_TRUE(pump([&] { return !heard.empty() && joined.ran.size() == 2; }));
    pump([] { return false; }); // nothing else arrives
    EXPECT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].data, packetBytes(batchOf({{"mine", {tapOrigin, 1}, "a"}, {"anyones", {thirdOrigin, 2}, "b"}})));
    EXPECT_EQ(joined.ran, (std::vector<std::string>{"mine:a", "anyones:b"}));
    EXPECT_EQ(host.ran, joined.ran);
}

TEST_F(Relay, ABatchWithEverythingRefusedGoesNowhere)
{
    send(tap, batchOf({{"hostOnly", {tapOrigin, 1}, "x"}}));
    send(tap, batchOf({{"mine", {tapOrigin, 1}, "after"}}));
    ASSERT_TRUE(pump([&] { return joined.ran.size() == 1; }));
    pump([] { return false; });
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(joined.ran, std::vector<std::string>{"mine:after"});
}

TEST_F(Relay, OnlyTheHostsHostOnlyCallsReachTheOthers)
{
    // The joined copy's own call runs there; the host refuses it and passes it on to nobody.
    joined.network->callFunction(hostOnly, kit::EntityID{thirdOrigin, 0}, "from the joined copy");
    host.network->callFunction(hostOnly, kit::EntityID{hostOrigin, 0}, "from the host");
    ASSERT_TRUE(pump([&] { return joined.ran.size() == 2 && !heard.empty(); }));
    pump([] { return false; });
    EXPECT_EQ(joined.ran, (std::vector<std::string>{"hostOnly:from the joined copy", "hostOnly:from the host"}));
    EXPECT_EQ(host.ran, std::vector<std::string>{"hostOnly:from the host"});
    for (const auto& packet : heard) {
        const std::string bytes(packet.data.begin(), packet.data.end());
        EXPECT_EQ(bytes.find("from the joined copy"), std::string::npos);
    }
}
