// Three copies of the game in one process, connected on loopback inside the
// private network namespace: a host and two clients.
#include "engine/network/NetworkSystem.h"
#include "engine/core/World.h"
#include "engine/network/HostMigration.h"
#include "engine/network/LinkReport.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkTap.h"
#include "engine/network/PortMapping.h"
#include "engine/network/stream/CompactState.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using kit::NetworkSystem;

namespace {

constexpr kit::NamedFunction<std::string, float> record{"record"};

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
    NetworkSystem* network = new NetworkSystem(30.0f);
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

// Runs frames on every copy until the condition holds (or three seconds pass).
bool runUntil(std::initializer_list<Copy*> copies, const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        for (Copy* c : copies)
            c->frame();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

struct ThreeCopies : ::testing::Test {
    Copy host{0x1000}, left{0x2000}, right{0x3000};
    std::uint16_t port = 0;

    void SetUp() override
    {
        testing::internal::CaptureStdout();
        host.network->host(0, 8);
        port = host.network->peer->boundPort();
        // Left first, then right: the order of arrival in the session.
        left.network->join("127.0.0.1", port);
        ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return host.network->peers().contains(0x2000); }));
        right.network->join("127.0.0.1", port);
        ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return host.network->peer->connectionCount() == 2; }));
        ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return host.network->peers().size() == 2; }));
    }
    void TearDown() override { output = testing::internal::GetCapturedStdout(); }
    std::string output;
};

} // namespace

TEST_F(ThreeCopies, ACallRunsHereAtOnceAndOnceOnEveryOtherCopyInOrder)
{
    host.network->callFunction(record, kit::EntityID{0x1000, 7}, std::string("first"), 1.0f);
    host.network->callFunction(record, kit::EntityID{0x1000, 8}, std::string("second"), 2.0f);
    EXPECT_EQ(host.log, (std::vector<std::string>{"first:1@7", "second:2@8"}));
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.log.size() == 2 && right.log.size() == 2; }));
    runUntil({&host, &left, &right}, [] { return false; }); // nothing more arrives
    EXPECT_EQ(left.log, host.log);
    EXPECT_EQ(right.log, host.log);
    EXPECT_EQ(host.log.size(), 2u);
}

TEST_F(ThreeCopies, AClientsCallReachesTheOtherClientThroughTheHost)
{
    left.network->callFunction(record, kit::EntityID{0x2000, 1}, std::string("relayed"), 3.0f);
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return right.log.size() == 1 && host.log.size() == 1; }));
    EXPECT_EQ(right.log[0], "relayed:3@1");
    EXPECT_EQ(left.log.size(), 1u); // not echoed back to its sender
}

TEST_F(ThreeCopies, OwnedStateOverwritesTheOtherCopies)
{
    const kit::EntityID plane{0x2000, 42};
    std::vector<kit::Transform*> transforms;
    for (Copy* c : {&host, &left, &right}) {
        auto* t = new kit::Transform(glm::vec3(0.0f));
        t->addTag(kit::tagId("networked"));
        c->world.addComponent(kit::EntityHandle{plane, &c->world}, t);
        transforms.push_back(t);
    }
    transforms[1]->position = glm::vec3(1.5f, -2.0f, 0.25f); // the owner moves it
    transforms[1]->rotation = glm::quat(0.0f, 0.0f, 0.0f, 1.0f);
    transforms[0]->position = glm::vec3(99.0f); // the others' changes are overwritten
    // Positions in steps of 1/128 travel exactly; a turn to within a step of its angle.
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] {
        return transforms[0]->position == transforms[1]->position && transforms[2]->position == transforms[1]->position;
    }));
    EXPECT_LT(std::fabs(std::fabs(glm::dot(transforms[2]->rotation, transforms[1]->rotation)) - 1.0f), 1e-6f);
    EXPECT_EQ(transforms[1]->rotation, glm::quat(0.0f, 0.0f, 0.0f, 1.0f)) << "the owner's own is untouched";
}

TEST_F(ThreeCopies, PeersRecordOriginsAndScreenNames)
{
    left.network->screenName = "joinScreen";
    right.network->screenName = "game";
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] {
        int found = 0;
        for (const auto& [origin, peer] : host.network->peers())
            found += (peer.origin == 0x2000 && peer.screenName == "joinScreen") ||
                     (peer.origin == 0x3000 && peer.screenName == "game");
        return found == 2;
    }));
    // Each client hears the host and, relayed, the other client.
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.network->peers().contains(0x3000); }));
}

TEST_F(ThreeCopies, LeavingClearsThePeerRecords)
{
    left.network->reset();
    EXPECT_TRUE(left.network->peers().empty());
    ASSERT_TRUE(runUntil({&host, &right}, [&] { return host.network->peers().size() == 1; }));
    EXPECT_EQ(host.network->peers().begin()->second.origin, 0x3000u);
    host.network->reset();
    EXPECT_TRUE(host.network->peers().empty());
    ASSERT_TRUE(runUntil({&right}, [&] { return right.network->peers().empty(); }));
}

TEST_F(ThreeCopies, UnknownNamesAndComponentsAreIgnored)
{
    left.network->callFunction(kit::NamedFunction<>{"nobodyRegisteredThis"}, kit::EntityID{1, 1});
    left.network->callFunction(record, kit::EntityID{0x2000, 2}, std::string("after"), 4.0f);
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return right.log.size() == 1; }));
    EXPECT_EQ(right.log[0], "after:4@2");
    EXPECT_EQ(host.network->function("nobodyRegisteredThis"), nullptr); // names from peers do not grow the registry
}

namespace {

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
        packet.write(NetworkSystem::stateUpdateId);
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

} // namespace

TEST_F(Wiretap, AStatePacketHasItsExactLayout)
{
    copy.network->screenName = "lobby";
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x01020304, 5}, &copy.world}, new Beacon);
    // Not owned by this copy: never sent.
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x0BADF00D, 6}, &copy.world}, new Beacon);
    received.clear();
    ASSERT_TRUE(pump([&] { return first(kit::compactState::id) != nullptr; }));
    EXPECT_EQ(first(NetworkSystem::stateUpdateId), nullptr) << "packed on the wire";
    // Packed: the origin, the screen, then record, not the last entity, the
    // origin's own, serial 5, a named type "t", 8 bits of state, the end.
    const std::vector<std::uint8_t> wire{0x8C, 0x01, 0x02, 0x03, 0x04, 0x05, 0x6C, 0x6F, 0x62,
                                         0x62, 0x79, 0xA1, 0x40, 0x02, 0xE8, 0x21, 0xDC};
    EXPECT_EQ(first(kit::compactState::id)->data, wire);
    // In full, as the tap and a recording have it.
    const std::vector<std::uint8_t> expected{0x87, 0x01, 0x02, 0x03, 0x04, 0x00, 0x05, 0x6C, 0x6F, 0x62,
                                             0x62, 0x79, 0x80, 0x81, 0x01, 0x82, 0x00, 0x00, 0x00, 0x02,
                                             0x80, 0x00, 0x80, 0x74, 0x00, 0x00, 0x00, 0x08, 0xEE, 0x00};
    EXPECT_EQ(kit::compactState::unpack(wire.data(), wire.size(), 256), expected);
}

TEST_F(Wiretap, ACallBatchHasItsExactLayout)
{
    constexpr kit::NamedFunction<std::string> f{"f"};
    constexpr kit::NamedFunction<> g{"g"};
    copy.network->registerFunction(g, [](kit::EntityHandle) {});
    copy.network->callFunction(f, kit::EntityID{1, 2}, "hi");
    copy.network->callFunction(g, kit::EntityID{3, 4});
    received.clear();
    ASSERT_TRUE(pump([&] { return first(NetworkSystem::remoteCallsId) != nullptr; }));
    const std::vector<std::uint8_t> expected{0x88, 0x00, 0x01, 0x66, 0x00, 0x00, 0x00, 0x60, 0x00, 0x00,
                                             0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02, 0x68, 0x69,
                                             0x88, 0x00, 0x01, 0x67, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00,
                                             0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00};
    EXPECT_EQ(first(NetworkSystem::remoteCallsId)->data, expected);
}

TEST_F(Wiretap, AnUnknownRecordIsSkippedAndTheNextApplied)
{
    auto* beacon = new Beacon;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x0BADF00D, 9}, &copy.world}, beacon);
    kit::NetStream packet;
    packet.write(NetworkSystem::stateUpdateId);
    packet.write(std::uint32_t{0x0BADF00D});
    packet.write(std::string("tap"));
    for (const auto& [entity, type, byte] : {std::tuple{9u, std::string("health"), std::uint8_t{1}},
                                             std::tuple{9u, std::string("t"), std::uint8_t{0x42}}}) {
        kit::NetStream state;
        state.write(byte);
        packet.write(true);
        packet.write(kit::EntityID{0x0BADF00D, entity});
        packet.write(type);
        packet.write(state);
    }
    packet.write(false);
    ASSERT_TRUE(
        tap.send(packet.data(), packet.bytesUsed(), kit::NetPeer::Reliability::unreliableSequenced, 0, copyAddress()));
    ASSERT_TRUE(pump([&] { return beacon->value == 0x42; }));
    EXPECT_EQ(copy.network->peers().begin()->second.screenName, "tap");
}

TEST_F(Wiretap, StateBearingThisCopysOwnOriginIsNoPeer)
{
    // A packet claiming to come from this copy (an echo, or a copy with the
    // same origin), then one from the tap itself.
    for (std::uint32_t origin : {std::uint32_t{0x01020304}, std::uint32_t{0x0BADF00D}}) {
        kit::NetStream packet;
        packet.write(NetworkSystem::stateUpdateId);
        packet.write(origin);
        packet.write(std::string("tap"));
        packet.write(false);
        ASSERT_TRUE(
            tap.send(packet.data(), packet.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    }
    ASSERT_TRUE(pump([&] { return copy.network->peers().contains(0x0BADF00D); }));
    EXPECT_FALSE(copy.network->peers().contains(0x01020304));
    EXPECT_EQ(copy.network->peers().size(), 1u);
}

TEST_F(Wiretap, SystemEntitiesAndOthersStateAreOffLimitsToPeers)
{
    // A call batch asking to destroy this copy's system entity, where the network system lives.
    kit::NetStream calls;
    kit::NetStream arguments;
    arguments.write(kit::EntityID{0x01020304, 0});
    calls.write(NetworkSystem::remoteCallsId);
    calls.write(std::string("destroyEntity"));
    calls.write(arguments);
    calls.write(std::uint8_t{0});
    ASSERT_TRUE(
        tap.send(calls.data(), calls.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    const kit::EntityHandle mine{kit::EntityID{0x01020304, 12}, &copy.world};
    auto* beacon = new Beacon;
    copy.world.addComponent(mine, beacon);
    auto* plain = new kit::Transform(glm::vec3(1.0f)); // not tagged "networked"
    const kit::EntityHandle theirs{kit::EntityID{0x0BADF00D, 13}, &copy.world};
    copy.world.addComponent(theirs, plain);
    // State from the tap (origin 0x0BADF00D) about our entity, and about a non-replicated component.
    kit::NetStream packet;
    packet.write(NetworkSystem::stateUpdateId);
    packet.write(std::uint32_t{0x0BADF00D});
    packet.write(std::string("tap"));
    kit::NetStream byte;
    byte.write(std::uint8_t{0x11});
    packet.write(true);
    packet.write(mine.id);
    packet.write(std::string("t"));
    packet.write(byte);
    kit::NetStream position;
    for (int i = 0; i < 10; ++i)
        position.write(9.0f);
    packet.write(true);
    packet.write(theirs.id);
    packet.write(std::string("transform"));
    packet.write(position);
    packet.write(false);
    ASSERT_TRUE(
        tap.send(packet.data(), packet.bytesUsed(), kit::NetPeer::Reliability::unreliableSequenced, 0, copyAddress()));
    ASSERT_TRUE(pump([&] { return copy.network->peers().size() == 1; }));
    pump([] { return false; }); // let everything arrive
    EXPECT_TRUE(copy.world.entities.contains(kit::EntityID{0x01020304, 0}));
    EXPECT_EQ(copy.world.getComponent<NetworkSystem>(kit::EntityID{0x01020304, 0}), copy.network);
    EXPECT_EQ(beacon->value, 0xEE);
    EXPECT_EQ(plain->position, glm::vec3(1.0f));

    // Nor does a call of this copy's own: the services stay.
    copy.network->callFunction(kit::destroyEntityFunction, copy.world.systemEntity());
    copy.network->callFunction(kit::destroyComponentFunction, copy.world.systemEntity(), std::string("networkSystem"));
    EXPECT_EQ(copy.world.getComponent<NetworkSystem>(copy.world.systemEntity()), copy.network);
}

TEST_F(Wiretap, EngineFunctionsDestroyEverywhere)
{
    introduce(0x0BADF00D);
    const kit::EntityHandle victim{kit::EntityID{0x0BADF00D, 11}, &copy.world};
    copy.world.addComponent(victim, new Beacon);
    copy.world.addComponent(victim, new kit::Transform());
    // "destroyComponent" by name, then "destroyEntity", as a peer would send them.
    kit::NetStream calls;
    for (const auto& [name, extra] : {std::pair{std::string("destroyComponent"), std::string("t")},
                                      std::pair{std::string("destroyEntity"), std::string()}}) {
        kit::NetStream arguments;
        arguments.write(victim.id);
        if (!extra.empty())
            arguments.write(extra);
        calls.write(NetworkSystem::remoteCallsId);
        calls.write(name);
        calls.write(arguments);
    }
    calls.write(std::uint8_t{0});
    ASSERT_TRUE(
        tap.send(calls.data(), calls.bytesUsed(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    ASSERT_TRUE(pump([&] { return !copy.world.entities.contains(victim.id); }));
}

TEST_F(ThreeCopies, EachCopyHasItsOwnRecordEvenWhenRelayed)
{
    host.network->screenName = "game";
    left.network->screenName = "joinScreen";
    right.network->screenName = "winScreen";
    // The left client hears the host and, through it, the right client: two
    // records that keep their own screen names frame after frame.
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] {
        return left.network->peers().contains(0x1000) && left.network->peers().contains(0x3000) &&
               left.network->peers().at(0x1000).screenName == "game" &&
               left.network->peers().at(0x3000).screenName == "winScreen";
    }));
    for (int frame = 0; frame < 30; ++frame) {
        for (Copy* c : {&host, &left, &right})
            c->frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_EQ(left.network->peers().at(0x1000).screenName, "game");
        ASSERT_EQ(left.network->peers().at(0x3000).screenName, "winScreen");
        ASSERT_EQ(left.network->peers().size(), 2u);
    }
    EXPECT_FALSE(left.network->peers().contains(0x2000)); // never a record of itself
}

TEST_F(ThreeCopies, ACopyThatFallsSilentIsForgotten)
{
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.network->peers().contains(0x3000); }));
    right.network->reset();                    // the host learns it; the left client is never told
    for (int frame = 0; frame < 30; ++frame) { // well under the limit on the copies' clocks
        host.frame();
        left.frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    ASSERT_TRUE(left.network->peers().contains(0x3000));
    left.world.update(NetworkSystem::peerSilenceLimit + 0.5f); // time passes without a word from it
    ASSERT_TRUE(runUntil({&host, &left}, [&] { return left.network->peers().contains(0x1000); }));
    EXPECT_FALSE(left.network->peers().contains(0x3000));
}

namespace {

// What a copy's network system said of departed copies, in order.
struct Departures {
    std::vector<std::pair<std::uint32_t, NetworkSystem::Departure>> heard;
    kit::ScopedConnection connection;
    explicit Departures(NetworkSystem& network)
        : connection(network.copyGone.connect(
              [this](std::uint32_t origin, NetworkSystem::Departure why) { heard.emplace_back(origin, why); }))
    {
    }
};

} // namespace

TEST_F(ThreeCopies, ALostConnectionForgetsItsCopyAtOnce)
{
    // The right client stops answering without a goodbye. The host's clock
    // stands still (no frame time passes), so only the lost connection, not
    // the silence limit, can make it forget the copy.
    host.network->peer->setTimeout(std::chrono::milliseconds(300));
    Departures atHost(*host.network);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (host.network->peers().contains(0x3000) && std::chrono::steady_clock::now() < end) {
        host.world.update(0.0f);
        left.world.update(0.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FALSE(host.network->peers().contains(0x3000));
    EXPECT_TRUE(host.network->peers().contains(0x2000));
    EXPECT_EQ(host.network->peer->connectionCount(), 1u);
    ASSERT_EQ(atHost.heard.size(), 1u);
    EXPECT_EQ(atHost.heard[0].first, 0x3000u);
    EXPECT_EQ(atHost.heard[0].second, NetworkSystem::Departure::lost);
}

TEST_F(ThreeCopies, ACopyThatSaysGoodbyeIsAnnouncedOnceAsLeft)
{
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.network->peers().contains(0x3000); }));
    Departures atHost(*host.network);
    right.network->reset();
    ASSERT_TRUE(runUntil({&host, &left}, [&] { return !atHost.heard.empty(); }));
    for (int frame = 0; frame < 30; ++frame) {
        host.frame();
        left.frame();
    }
    ASSERT_EQ(atHost.heard.size(), 1u);
    EXPECT_EQ(atHost.heard[0].first, 0x3000u);
    EXPECT_EQ(atHost.heard[0].second, NetworkSystem::Departure::left);
    EXPECT_FALSE(host.network->peers().contains(0x3000)); // gone before anyone is told
}

TEST_F(ThreeCopies, ARelayedCopyThatFallsSilentIsAnnouncedAsSilent)
{
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.network->peers().contains(0x3000); }));
    Departures atLeft(*left.network);
    right.network->reset();
    // One long frame without a word from anyone: the host's record lapses on
    // this clock too (its next state brings it back); the right client's is
    // the one of interest.
    left.world.update(NetworkSystem::peerSilenceLimit + 0.5f);
    const auto announced = [&](std::uint32_t origin) {
        return std::count_if(atLeft.heard.begin(), atLeft.heard.end(),
                             [&](const auto& h) { return h.first == origin; });
    };
    ASSERT_EQ(announced(0x3000), 1);
    for (const auto& [origin, why] : atLeft.heard)
        EXPECT_EQ(why, NetworkSystem::Departure::silent) << origin;
    EXPECT_FALSE(left.network->peers().contains(0x3000));
}

TEST_F(ThreeCopies, WhenTheHostGoesTheCopiesItRelayedStayForTheNextHost)
{
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] {
        const auto& roster = left.network->migration().roster();
        return left.network->peers().size() == 2 && roster && roster->members.size() == 2;
    }));
    Departures atLeft(*left.network);
    host.network->reset();
    // The left client, in the session longest, hosts next; the right one joins it.
    ASSERT_TRUE(runUntil({&left, &right}, [&] {
        return left.network->isServer() && left.network->peers().contains(0x3000) &&
               left.network->peers().at(0x3000).address.port != port;
    }));
    ASSERT_EQ(atLeft.heard.size(), 1u);
    EXPECT_EQ(atLeft.heard[0].first, 0x1000u);
    EXPECT_EQ(atLeft.heard[0].second, NetworkSystem::Departure::left);
    EXPECT_FALSE(left.network->peers().contains(0x1000));
}

TEST_F(ThreeCopies, TrafficCountsEveryConnectionABatchGoesTo)
{
    const NetworkSystem::Traffic before = host.network->traffic;
    host.network->flushCalls(); // an empty batch: one byte, to each of two clients
    EXPECT_EQ(host.network->traffic.callsSent - before.callsSent, 2u);
    host.network->callFunction(record, kit::EntityID{0x1000, 7}, std::string("x"), 1.0f);
    const std::size_t batch = host.network->pendingCalls.bytesUsed() + 1; // with its end byte
    host.network->flushCalls();                                           // to each of two clients
    EXPECT_EQ(host.network->traffic.callsSent - before.callsSent, 2 + 2 * batch);
    EXPECT_EQ(host.network->traffic.stateSent, before.stateSent);
    const std::uint64_t received = left.network->traffic.stateReceived;
    ASSERT_TRUE(runUntil({&host, &left, &right}, [&] { return left.network->traffic.stateReceived > received; }));
    EXPECT_GT(host.network->traffic.stateSent, before.stateSent);
    EXPECT_GT(host.network->peer->wireTotals().sent, 0u);
    EXPECT_GT(left.network->peer->wireTotals().received, 0u);
}

TEST(NetworkSessions, LeavingASessionMakesACopyItsOwnServerAgain)
{
    testing::internal::CaptureStdout();
    Copy copy{0x4444};
    copy.network->join("127.0.0.1", 9); // nobody there; the attempt is simply abandoned
    EXPECT_FALSE(copy.network->isServer());
    copy.network->reset();
    EXPECT_TRUE(copy.network->isServer());
    testing::internal::GetCapturedStdout();
}

namespace {

// A replicated component that counts the times its state was written.
class Counter : public kit::Component {
public:
    Counter()
    {
        addTag(kit::tagId("counter"));
        addTag(kit::tagId("networked"));
    }
    void serialize(kit::NetStream& stream) override
    {
        if (stream.writing)
            ++writes;
        stream.serialize(writes);
    }
    std::string networkTypeName() const override { return "counter"; }
    std::uint32_t writes = 0;
};

} // namespace

TEST_F(Wiretap, ATicksCallsLeaveBeforeItsState)
{
    copy.network->stateEvery = 1; // every tick a state tick: the call's own tick is one
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x01020304, 20}, &copy.world}, counter);
    constexpr kit::NamedFunction<> spawn{"spawn"};
    received.clear();
    const std::uint32_t before = counter->writes;
    copy.network->callFunction(spawn, kit::EntityID{0x01020304, 21});
    ASSERT_TRUE(pump([&] { return first(NetworkSystem::remoteCallsId) != nullptr; }));
    pump([&] { return received.size() >= 3; });
    // The first state packet after the batch is the one of the batch's own tick.
    std::size_t at = 0;
    while (received[at].id() != NetworkSystem::remoteCallsId)
        ++at;
    auto next = std::find_if(received.begin() + static_cast<std::ptrdiff_t>(at), received.end(),
                             [](const auto& p) { return p.id() == kit::compactState::id; });
    ASSERT_NE(next, received.end());
    const auto full = kit::compactState::unpack(next->data.data(), next->data.size(), 256);
    ASSERT_TRUE(full.has_value());
    kit::NetStream in(full->data(), full->size());
    std::uint8_t id = 0;
    std::uint32_t origin = 0;
    std::string screen;
    bool more = false;
    kit::EntityID entity;
    std::string type;
    kit::NetStream state;
    std::uint32_t written = 0;
    in.read(id);
    in.read(origin);
    in.read(screen);
    in.read(more);
    in.read(entity);
    in.read(type);
    in.read(state);
    state.read(written);
    EXPECT_EQ(type, "counter");
    EXPECT_EQ(written, before + 1);
}

TEST(NetworkSending, SlowFramesDoNotBankStatePacketsForLater)
{
    testing::internal::CaptureStdout();
    Copy copy{0x5555};
    copy.network->host(0, 1); // active, so that every tick builds its state
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x5555, 1}, &copy.world}, counter);
    copy.network->stateEvery = 2;
    for (int frame = 0; frame < 60; ++frame)
        copy.world.update(0.05f); // three seconds at 20 frames a second: a tick every frame
    const std::uint32_t slowSends = counter->writes;
    EXPECT_GE(slowSends, 29u);
    EXPECT_LE(slowSends, 31u); // state at every second tick
    for (int frame = 0; frame < 120; ++frame)
        copy.world.update(1.0f / 120.0f); // then one second at 120
    const std::uint32_t fastSends = counter->writes - slowSends;
    EXPECT_GE(fastSends, 14u);
    EXPECT_LE(fastSends, 16u); // fifteen a second, not a burst to catch up
    copy.network->stateEvery = 1;
    for (int frame = 0; frame < 120; ++frame)
        copy.world.update(1.0f / 120.0f);
    const std::uint32_t everyTick = counter->writes - slowSends - fastSends;
    EXPECT_GE(everyTick, 29u);
    EXPECT_LE(everyTick, 31u);
    copy.network->reset();
    testing::internal::GetCapturedStdout();
}

namespace {

// Keeps what a network system tells a recording.
struct TapLog : kit::NetworkTap {
    std::vector<std::vector<std::uint8_t>> states;
    void calls(std::span<const std::uint8_t> batch) override { callsSeen.emplace_back(batch.begin(), batch.end()); }
    void state(std::span<const std::uint8_t> packet) override { states.emplace_back(packet.begin(), packet.end()); }
    void networkGone() override {}
    std::vector<std::vector<std::uint8_t>> callsSeen;
};

// A state packet of a sender with the given records: entity, type name, one state byte.
kit::NetStream stateWith(std::uint32_t sender, const std::vector<std::pair<kit::EntityID, std::string>>& records)
{
    kit::NetStream packet;
    packet.write(NetworkSystem::stateUpdateId);
    packet.write(sender);
    packet.write(std::string("game"));
    for (const auto& [entity, type] : records) {
        kit::NetStream state;
        state.write(std::uint8_t{0x42});
        packet.write(true);
        packet.write(entity);
        packet.write(type);
        packet.write(state);
    }
    packet.write(false);
    return packet;
}

std::vector<std::uint8_t> bytes(const kit::NetStream& s)
{
    return std::vector<std::uint8_t>(s.data(), s.data() + s.bytesUsed());
}

} // namespace

TEST(Recording, IsToldOnlyTheStateRecordsThatPassed)
{
    Copy here{0x1000};
    TapLog log;
    here.network->tap = &log;
    const std::uint32_t peer = 0x2000;
    const kit::EntityID theirs{peer, 5}, notTheirs{0x3000, 5}, nothing{peer, 6};
    here.world.addComponent(kit::EntityHandle{theirs, &here.world}, new Beacon);
    here.world.addComponent(kit::EntityHandle{notTheirs, &here.world}, new Beacon);
    auto* quiet = new Beacon;
    quiet->tags.erase(kit::tagId("networked")); // a component that is not replicated
    here.world.addComponent(kit::EntityHandle{nothing, &here.world}, quiet);
    const kit::NetAddress from{0x7F000001, 5000};
    here.network->handlePacket(kit::NetPeer::Packet{
        bytes(stateWith(peer, {{notTheirs, "t"}, {theirs, "made up"}, {theirs, "t"}, {nothing, "t"}})), from, 1});
    ASSERT_EQ(log.states.size(), 1u);
    EXPECT_EQ(log.states[0], bytes(stateWith(peer, {{theirs, "t"}}))) << "the applied record, bit for bit";
    // Thousands of made-up names never reach a recording (nor its file's table of names).
    std::vector<std::pair<kit::EntityID, std::string>> madeUp;
    for (int i = 0; i < 200; ++i)
        madeUp.emplace_back(theirs, "name " + std::to_string(i));
    here.network->handlePacket(kit::NetPeer::Packet{bytes(stateWith(peer, madeUp)), from, 1});
    ASSERT_EQ(log.states.size(), 2u);
    EXPECT_EQ(log.states[1], bytes(stateWith(peer, {})));
    here.network->tap = nullptr;
}

TEST(NetworkVersions, ACopyOfAnotherVersionIsToldInOneLine)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    kit::NetPeer old(kit::NetPeer::legacyProtocol);
    ASSERT_TRUE(old.start(0, 4));
    old.setMaximumIncomingConnections(4);
    Copy joining{0x1000};
    joining.network->join("127.0.0.1", old.boundPort());
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string err;
    while (std::chrono::steady_clock::now() < end && err.find("another version") == std::string::npos) {
        kit::NetPeer::Packet p;
        while (old.receive(p)) {
        }
        joining.frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        err += testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
    }
    testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string line = "Could not join the copy at 127.0.0.1|" + std::to_string(old.boundPort()) +
                             ": it runs another version of Skyscuffle, and both must run the same\n";
    EXPECT_NE(err.find(line), std::string::npos) << err;
    EXPECT_EQ(out.find("Our connection request has been accepted."), std::string::npos);
    EXPECT_TRUE(joining.network->peers().empty());
}

TEST_F(Wiretap, AnEmptyCallBatchLeavesOnlyWithAStatePacket)
{
    copy.network->stateEvery = 2;
    received.clear();
    const auto count = [&](std::uint8_t id) {
        return std::count_if(received.begin(), received.end(), [id](const auto& p) { return p.id() == id; });
    };
    ASSERT_TRUE(pump([&] { return count(kit::compactState::id) >= 12; }));
    const auto states = count(kit::compactState::id);
    const auto batches = count(0); // a batch without calls is its end byte alone
    EXPECT_GE(batches, states - 1) << "a sign of life with each state packet";
    EXPECT_LE(batches, states + 1) << "not one at every tick between them";
}

TEST_F(Wiretap, ABrokenPackedStatePacketIsRefusedWithItsSender)
{
    introduce(0x0A0B0C0D);
    testing::internal::CaptureStderr();
    const std::uint64_t dropped = copy.network->traffic.recordsDropped;
    const std::uint8_t broken[] = {kit::compactState::id, 0x0A, 0x0B, 0x0C};
    ASSERT_TRUE(tap.send(broken, sizeof broken, kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    const bool refused = pump([&] { return copy.network->traffic.recordsDropped > dropped; });
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(refused);
    EXPECT_NE(err.find("Dropped from 127.0.0.1|" + std::to_string(tap.boundPort()) +
                       " (copy 0a0b0c0d): a packed state packet that does not read"),
              std::string::npos)
        << err;
    EXPECT_TRUE(copy.network->peers().contains(0x0A0B0C0D)) << "the copy itself stays";
}

TEST_F(Wiretap, TheHostPassesPackedStateOnAsItCame)
{
    kit::NetPeer other;
    std::vector<kit::NetPeer::Packet> heard; // by the other connection
    const auto listen = [&] {
        kit::NetPeer::Packet p;
        while (other.receive(p))
            heard.push_back(p);
    };
    ASSERT_TRUE(other.start(0, 1));
    ASSERT_TRUE(other.connect("127.0.0.1", copy.network->peer->boundPort()));
    ASSERT_TRUE(pump([&] {
        listen();
        return copy.network->peer->connectionCount() == 2 && other.connectionCount() == 1;
    }));
    introduce(0x0A0B0C0D);
    // The tap's copy moves a thing of its own.
    kit::NetStream full;
    full.write(NetworkSystem::stateUpdateId);
    full.write(std::uint32_t{0x0A0B0C0D});
    full.write(std::string("tap"));
    full.write(true);
    full.write(kit::EntityID{0x0A0B0C0D, 5});
    full.write(std::string("transform"));
    kit::Transform place;
    place.position = glm::vec3(3.0f, -2.0f, 0.0f);
    kit::NetStream state;
    place.serialize(state);
    full.write(state);
    full.write(false);
    const auto wire = kit::compactState::pack(full.data(), full.bytesUsed());
    ASSERT_TRUE(wire.has_value());
    ASSERT_TRUE(tap.send(wire->data(), wire->size(), kit::NetPeer::Reliability::reliableOrdered, 1, copyAddress()));
    EXPECT_TRUE(pump([&] {
        listen();
        return std::any_of(heard.begin(), heard.end(), [&](const auto& p) { return p.data == *wire; });
    })) << "the other connection gets the very bytes, packed";
}

TEST(NetworkHosting, ARoutersMappingFollowsThePortHostedOn)
{
    testing::internal::CaptureStdout();
    Copy copy{0x6666};
    copy.network->host(0, 4);
    EXPECT_EQ(copy.network->portMapping(), nullptr) << "unless asked to, the router is left alone";
    copy.network->mapsPort = true;
    copy.network->host(0, 4);
    const kit::PortMapping* first = copy.network->portMapping();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->port(), copy.network->peer->boundPort());
    const std::uint16_t port = copy.network->peer->boundPort();
    copy.network->host(port, 4);
    EXPECT_EQ(copy.network->portMapping(), first) << "the same port's mapping goes on";
    for (int i = 0; i < 3 && copy.network->peer->boundPort() == port; ++i)
        copy.network->host(0, 4); // any other port
    ASSERT_NE(copy.network->peer->boundPort(), port);
    ASSERT_NE(copy.network->portMapping(), nullptr);
    EXPECT_EQ(copy.network->portMapping()->port(), copy.network->peer->boundPort()) << "a new port, a new mapping";
    copy.network->join("127.0.0.1", 9);
    EXPECT_EQ(copy.network->portMapping(), nullptr) << "a joined copy maps nothing";
    copy.network->reset();
    testing::internal::GetCapturedStdout();
}

TEST_F(Wiretap, ALongFrameBanksNoLinkReports)
{
    introduce(0x0A0B0C0D); // a copy of the session, whose link the host reports
    ASSERT_TRUE(pump([&] { return first(kit::LinkReport::id) != nullptr; }));
    const auto reports = [&] {
        for (int i = 0; i < 20; ++i) { // what was sent arrives, without frames that send more
            kit::NetPeer::Packet p;
            while (tap.receive(p))
                received.push_back(p);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::count_if(received.begin(), received.end(),
                             [](const auto& p) { return p.id() == kit::LinkReport::id; });
    };
    reports();
    received.clear();
    copy.world.update(4.0f); // a match loading (short of the silence that drops a copy)
    for (int i = 0; i < 10; ++i)
        copy.world.update(0.01f);
    EXPECT_LE(reports(), 2)
        << "one for the long frame and one to start the next second, not one for each second missed";
}

TEST(NetworkSending, StateWantedSoonLeavesAtTheNextTickWhateverItsTurn)
{
    testing::internal::CaptureStdout();
    Copy copy{0x5656};
    copy.network->host(0, 1);
    auto* counter = new Counter;
    copy.world.addComponent(kit::EntityHandle{kit::EntityID{0x5656, 1}, &copy.world}, counter);
    copy.network->stateEvery = 2;
    // A tick a frame; find a state tick, so that the next is not one.
    std::uint32_t writes = counter->writes;
    for (int i = 0; i < 4 && counter->writes == writes; ++i)
        copy.world.update(0.04f);
    ASSERT_GT(counter->writes, writes);
    writes = counter->writes;
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes) << "not its turn";
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 1) << "its turn";
    copy.network->stateSoon = true;
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 2) << "not its turn, but wanted";
    EXPECT_FALSE(copy.network->stateSoon);
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 3) << "its turn as ever";
    copy.world.update(0.04f);
    EXPECT_EQ(counter->writes, writes + 3);
    copy.network->reset();
    testing::internal::GetCapturedStdout();
}
