// Three copies of the game in one process, connected on loopback inside the
// private network namespace: a host and two clients.
#include "engine/network/NetworkSystem.h"
#include "NetworkSystemFixture.h"

#include "engine/core/World.h"
#include "engine/network/HostMigration.h"
#include "engine/network/NetworkTap.h"
#include "engine/network/PortMapping.h"
#include "engine/physics/Transform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using kit::NetworkSystem;
using test::Copy;
using test::record;

namespace {

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

TEST(PeerRecords, ARecordedOrHeardCopyCountsAsHeardNowAndOutlastsTheSilenceLimitFromThen)
{
    Copy alone{0x1000};
    alone.world.update(NetworkSystem::peerSilenceLimit + 2.0f); // a clock well past the limit
    NetworkSystem::PeerRecord record;
    record.origin = 0x2000;
    record.screenName = "joinScreen";
    alone.network->recordPeer(record);
    EXPECT_FLOAT_EQ(alone.network->peers().at(0x2000).heardAt, alone.network->clock());
    alone.world.update(NetworkSystem::peerSilenceLimit * 0.5f);
    EXPECT_TRUE(alone.network->peers().contains(0x2000)) << "not forgotten for silence before its time";
    alone.network->markHeard(0x2000);
    EXPECT_FLOAT_EQ(alone.network->peers().at(0x2000).heardAt, alone.network->clock());
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
