// What crosses the wire between copies, seen from a bare transport: the
// exact layout of state packets and call batches, the records and calls a
// peer may not make, and what a recording is told of the state that passed.
#include "NetworkSystemFixture.h"
#include "engine/network/NetworkSystem.h"

#include "engine/core/World.h"
#include "engine/network/NetworkTap.h"
#include "engine/network/stream/CompactState.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <tuple>

using kit::NetworkSystem;
using test::Beacon;
using test::Copy;
using test::Wiretap;

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
