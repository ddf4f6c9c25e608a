// A session outlives its host: copies in one process, connected on loopback
// inside the private network namespace, lose their host (a goodbye, or
// silence) and carry on under the next one, with no call lost or run twice.
#include "engine/network/HostMigration.h"
#include "HostMigrationFixture.h"

#include "engine/core/World.h"
#include "engine/network/CallReplay.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkSystem.h"
#include "engine/network/SessionRoster.h"

#include <gtest/gtest.h>

#include <algorithm>

using kit::HostMigration;
using kit::NetworkSystem;
using test::HostChange;
using test::runUntil;
using test::SessionCopy;
using test::settle;

TEST_F(HostChange, TheHostTellsItsClientsWhoIsInTheSessionAndWhere)
{
    open({0x1000, 0x3000, 0x2000});
    std::uint32_t sequence = 0;
    for (std::size_t i : {1u, 2u}) {
        const auto& roster = *copy(i).network->migration().roster();
        EXPECT_EQ(roster.host, 0x1000u);
        EXPECT_EQ(roster.gamePort, port);
        ASSERT_EQ(roster.members.size(), 2u);
        // In the order they came, whatever their origins.
        EXPECT_EQ(roster.members[0], (kit::SessionRoster::Member{0x3000, 0x7F000001}));
        EXPECT_EQ(roster.members[1], (kit::SessionRoster::Member{0x2000, 0x7F000001}));
        EXPECT_EQ(copy(i).network->migration().host(), 0x1000u);
        EXPECT_GT(roster.sequence, 0u);
        sequence = roster.sequence;
    }
    EXPECT_FALSE(host().network->migration().roster().has_value()) << "the host's own roster is never sent to it";
    // A copy that leaves is gone from the roster at once, in a newer roster.
    copy(1).network->reset();
    ASSERT_TRUE(
        runUntil({&host(), &copy(2)}, [&] { return copy(2).network->migration().roster()->members.size() == 1; }));
    EXPECT_FALSE(copy(2).network->migration().roster()->contains(0x3000));
    EXPECT_GT(copy(2).network->migration().roster()->sequence, sequence);
    // Coming back, it arrives anew: last.
    copies.push_back(std::make_unique<SessionCopy>(0x0100));
    copies.back()->network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil({&host(), &copy(2), &copy(3)}, [&] { return host().network->peers().contains(0x0100); }));
    copy(1).network->join("127.0.0.1", port);
    ASSERT_TRUE(runUntil(all(), [&] { return copy(2).network->migration().roster()->members.size() == 3; }));
    const auto& roster = *copy(2).network->migration().roster();
    EXPECT_EQ(roster.members[0].origin, 0x2000u);
    EXPECT_EQ(roster.members[1].origin, 0x0100u);
    EXPECT_EQ(roster.members[2].origin, 0x3000u);
}

TEST_F(HostChange, AHostThatLeavesIsFollowedByTheCopyThatCameFirstAndOnlyTheHostGoes)
{
    open({0x1000, 0x3000, 0x2000});
    SessionCopy &first = copy(1), &second = copy(2);
    ASSERT_TRUE(
        runUntil(all(), [&] { return first.network->peers().size() == 2 && second.network->peers().size() == 2; }));
    host().network->reset();
    host().running = false;
    ASSERT_TRUE(runUntil({&first, &second}, [&] { return joinedTo(second, first); }));
    EXPECT_TRUE(first.network->isServer());
    EXPECT_EQ(first.network->peer->boundPort(), port) << "the next host opens the session's game port";
    EXPECT_EQ(first.network->migration().outcome(), HostMigration::Outcome::hostsSession);
    EXPECT_EQ(second.network->migration().outcome(), HostMigration::Outcome::joinedNextHost);
    EXPECT_EQ(second.network->migration().host(), 0x3000u);
    EXPECT_EQ(first.network->migration().lostHost(), 0x1000u);
    for (SessionCopy* c : {&first, &second}) {
        ASSERT_EQ(c->gone.size(), 1u) << "only the host went";
        EXPECT_EQ(c->gone[0], std::make_pair(std::uint32_t{0x1000}, NetworkSystem::Departure::left));
        EXPECT_FALSE(c->network->peers().contains(0x1000));
    }
    EXPECT_TRUE(second.network->peers().contains(0x3000));
    // The session goes on: calls either way, and the next host's roster.
    second.say("up");
    first.say("down");
    ASSERT_TRUE(runUntil({&first, &second}, [&] {
        return first.heard("up") == 1 && second.heard("down") == 1 &&
               second.network->migration().roster()->members.size() == 1;
    }));
    EXPECT_EQ(second.network->migration().roster()->host, 0x3000u);
    settle({&first, &second});
    EXPECT_TRUE(first.gone.size() == 1 && second.gone.size() == 1) << "nobody else was let go meanwhile";
    const std::string console = said();
    EXPECT_NE(console.find("The session's host has gone: this copy hosts the session now\n"), std::string::npos);
    EXPECT_NE(console.find("The session's host has gone: copy 00003000 hosts the session next\n"), std::string::npos);
    EXPECT_NE(console.find("Joined copy 00003000, the session's new host\n"), std::string::npos);
    EXPECT_NE(console.find("Copy 00002000 is back in the session\n"), std::string::npos);
}

TEST_F(HostChange, AHostThatFallsSilentIsFollowedAndNoCallIsLostOrRunTwice)
{
    open({0x1000, 0x2000, 0x3000});
    SessionCopy &next = copy(1), &other = copy(2);
    // Before: a call that reached everyone already.
    next.say("before");
    ASSERT_TRUE(runUntil(all(), [&] { return other.heard("before") == 1 && host().heard("before") == 1; }));
    host().vanish();
    // Sent to a host that no longer answers; then made while looking for the next.
    other.say("into the void");
    next.say("also into the void");
    ASSERT_TRUE(
        runUntil({&next, &other}, [&] { return other.network->migration().seeking() || next.network->isServer(); }));
    other.say("while seeking");
    ASSERT_TRUE(runUntil({&next, &other}, [&] { return joinedTo(other, next); }));
    other.say("after");
    ASSERT_TRUE(runUntil({&next, &other}, [&] {
        return next.heard("into the void") == 1 && next.heard("while seeking") == 1 && next.heard("after") == 1 &&
               other.heard("also into the void") == 1;
    }));
    settle({&next, &other});
    for (SessionCopy* c : {&next, &other}) {
        for (const char* line : {"before", "into the void", "also into the void", "while seeking", "after"})
            EXPECT_EQ(c->heard(line), 1u) << line << " on copy " << std::hex << c->world.origin;
        ASSERT_EQ(c->gone.size(), 1u);
        EXPECT_EQ(c->gone[0], std::make_pair(std::uint32_t{0x1000}, NetworkSystem::Departure::silent));
    }
    // The order of one copy's calls holds.
    const auto at = [&](const std::string& line) { return std::find(next.log.begin(), next.log.end(), line); };
    EXPECT_LT(at("into the void"), at("while seeking"));
    EXPECT_LT(at("while seeking"), at("after"));
}

TEST_F(HostChange, APickThatNeverAnswersIsPassedOver)
{
    open({0x1000, 0x2000, 0x3000, 0x4000});
    SessionCopy &third = copy(2), &fourth = copy(3);
    // The host and the copy every other would pick vanish together.
    host().vanish();
    copy(1).vanish();
    ASSERT_TRUE(runUntil(
        {&third, &fourth}, [&] { return joinedTo(fourth, third); }, 25));
    EXPECT_EQ(fourth.network->migration().host(), 0x3000u);
    settle({&third, &fourth});
    for (SessionCopy* c : {&third, &fourth}) {
        EXPECT_FALSE(c->network->peers().contains(0x2000)) << "the pick that never came back is let go";
        EXPECT_TRUE(std::any_of(c->gone.begin(), c->gone.end(), [](const auto& g) { return g.first == 0x2000u; }));
    }
}

TEST_F(HostChange, ACopyLeftAloneHostsItsOwnGames)
{
    open({0x1000, 0x2000});
    SessionCopy& client = copy(1);
    bool resumed = false;
    kit::ScopedConnection watch = client.network->migration().resumed.connect([&](std::uint32_t h) {
        resumed = true;
        EXPECT_EQ(h, 0x2000u);
    });
    host().network->reset();
    host().running = false;
    ASSERT_TRUE(
        runUntil({&client}, [&] { return client.network->migration().outcome() != HostMigration::Outcome::none; }));
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::alone);
    EXPECT_TRUE(client.network->isServer());
    EXPECT_FALSE(client.network->peer->isActive());
    EXPECT_TRUE(client.network->peers().empty());
    EXPECT_TRUE(resumed);
    // Leaving for the menus forgets it.
    client.network->reset();
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::none);
}

namespace {

// A host that speaks the state and call protocol but knows nothing of rosters.
struct RosterlessHost {
    kit::NetPeer peer;
    void start()
    {
        peer.start(0, 4);
        peer.setMaximumIncomingConnections(4);
    }
    void frame(std::uint32_t origin, std::uint32_t relayed)
    {
        kit::NetPeer::Packet p;
        while (peer.receive(p)) {
        }
        for (std::uint32_t o : {origin, relayed}) {
            kit::NetStream state;
            state.write(NetworkSystem::stateUpdateId);
            state.write(o);
            state.write(std::string("game"));
            state.write(false);
            peer.broadcast(state.data(), state.bytesUsed(), kit::NetPeer::Reliability::unreliableSequenced, 0);
        }
    }
};

} // namespace

TEST(SessionWithoutRoster, ACopyWhoseHostNeverToldItTheSessionGoesAlone)
{
    testing::internal::CaptureStdout();
    RosterlessHost old;
    old.start();
    SessionCopy client(0x2000);
    client.network->join("127.0.0.1", old.peer.boundPort());
    ASSERT_TRUE(runUntil({&client}, [&] {
        old.frame(0x1000, 0x3000);
        return client.network->peers().size() == 2;
    }));
    old.peer.shutdown();
    ASSERT_TRUE(runUntil({&client}, [&] { return client.network->isServer(); }));
    EXPECT_EQ(client.network->migration().outcome(), HostMigration::Outcome::alone);
    EXPECT_TRUE(client.network->peers().empty()) << "every copy heard through the host goes with it";
    EXPECT_EQ(client.gone.size(), 2u);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("We have been disconnected.\n"), std::string::npos);
    EXPECT_NE(console.find("The session's host has gone: this copy hosts its own games now\n"), std::string::npos);
}

TEST(SessionOutsiders, ReplaysAndRostersCountOnlyInASession)
{
    testing::internal::CaptureStdout();
    SessionCopy loner(0x5000);
    int ran = 0;
    loner.network->registerFunction(kit::NamedFunction<>{"count"}, [&](kit::EntityHandle) { ++ran; });
    kit::NetStream calls;
    kit::NetStream arguments;
    arguments.write(kit::EntityID{0x6000, 1});
    calls.write(NetworkSystem::remoteCallsId);
    calls.write(std::string("count"));
    calls.write(arguments);
    calls.write(std::uint8_t{0});
    kit::CallReplay held;
    held.hold(0x6000, 0.0f);
    held.keep(0x6000, kit::CallReplay::Bytes(calls.data(), calls.data() + calls.bytesUsed()));
    const kit::NetStream replay = held.packets().at(0);
    kit::SessionRoster roster;
    roster.host = 0x6000;
    roster.members = {{0x5000, 0x7F000001}};
    const kit::NetStream rosterPacket = roster.encode();
    const kit::NetAddress stranger{0x7F000001, 40000};
    // A connection opens, then a replay and a roster come through it: this
    // copy neither hosts nor joined anyone.
    for (const kit::NetStream* p : {&replay, &rosterPacket}) {
        loner.network->handlePacket(kit::NetPeer::Packet{{kit::message::newIncomingConnection}, stranger, 7});
        loner.network->handlePacket(kit::NetPeer::Packet{{p->data(), p->data() + p->bytesUsed()}, stranger, 7});
    }
    EXPECT_EQ(ran, 0);
    EXPECT_FALSE(loner.network->migration().roster().has_value());
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.find("Message with identifier"), std::string::npos) << "known messages, handled quietly";
}
