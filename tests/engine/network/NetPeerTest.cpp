// Real sockets on loopback; the suite runs inside a private network namespace.
#include "engine/network/NetPeer.h"
#include "engine/network/MessageIdentifiers.h"

#include "support/DelayRelay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

using kit::NetPeer;
namespace message = kit::message;

namespace {

struct Inbox {
    explicit Inbox(std::uint32_t protocol = NetPeer::protocolVersion) : peer(protocol) {}
    NetPeer peer;
    std::vector<NetPeer::Packet> packets;

    void poll()
    {
        NetPeer::Packet p;
        while (peer.receive(p))
            packets.push_back(p);
    }
    std::size_t count(std::uint8_t id) const
    {
        return static_cast<std::size_t>(
            std::count_if(packets.begin(), packets.end(), [id](const NetPeer::Packet& p) { return p.id() == id; }));
    }
    const NetPeer::Packet* find(std::uint8_t id) const
    {
        for (const auto& p : packets)
            if (p.id() == id)
                return &p;
        return nullptr;
    }
};

// Polls every peer until the condition holds or three seconds pass.
bool pumpUntil(std::initializer_list<Inbox*> peers, const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        for (Inbox* p : peers)
            p->poll();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

struct Session : ::testing::Test {
    Inbox server, client;
    std::uint16_t port = 0;

    void SetUp() override
    {
        ASSERT_TRUE(server.peer.start(0, 4));
        server.peer.setMaximumIncomingConnections(4);
        port = server.peer.boundPort();
        ASSERT_NE(port, 0);
        ASSERT_TRUE(client.peer.start(0, 1));
        ASSERT_TRUE(client.peer.connect("127.0.0.1", port));
        ASSERT_TRUE(pumpUntil({&server, &client}, [&] {
            return client.find(message::connectionRequestAccepted) && server.find(message::newIncomingConnection);
        }));
    }
};

} // namespace

TEST(NetAddresses, PrintAndOrderByPortThenAddress)
{
    const kit::NetAddress a{0x7F000001, 16520};
    EXPECT_EQ(a.toString(), "127.0.0.1|16520");
    EXPECT_EQ(a.ipString(), "127.0.0.1");
    EXPECT_LT((kit::NetAddress{0xFFFFFFFF, 1}), (kit::NetAddress{0x00000001, 2}));
    EXPECT_LT((kit::NetAddress{1, 5}), (kit::NetAddress{2, 5}));
    EXPECT_EQ(kit::NetAddress::resolve("10.1.2.3", 7)->ip, 0x0A010203u);
    EXPECT_FALSE(kit::NetAddress::resolve("no.such.host.invalid", 7).has_value());
}

TEST_F(Session, ConnectingReportsBothSidesWithTheirIds)
{
    const auto* accepted = client.find(message::connectionRequestAccepted);
    const auto* incoming = server.find(message::newIncomingConnection);
    EXPECT_EQ(accepted->guid, server.peer.guid());
    EXPECT_EQ(incoming->guid, client.peer.guid());
    EXPECT_EQ(accepted->sender.port, port);
    EXPECT_EQ(accepted->data.size(), 1u);
    EXPECT_EQ(client.peer.connectionState(accepted->sender), NetPeer::ConnectionState::connected);
    EXPECT_EQ(server.peer.connectionCount(), 1u);
    EXPECT_FALSE(client.peer.connect("127.0.0.1", port)); // already connected
}

TEST_F(Session, DatagramsArriveOnBothChannels)
{
    const std::uint8_t call[] = {136, 'x', 0};
    const std::uint8_t state[] = {135, 1, 2, 3};
    const auto serverAddress = client.find(message::connectionRequestAccepted)->sender;
    ASSERT_TRUE(client.peer.send(call, sizeof call, NetPeer::Reliability::reliableOrdered, 1, serverAddress));
    server.peer.broadcast(state, sizeof state, NetPeer::Reliability::unreliableSequenced, 0);
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] { return server.find(136) && client.find(135); }));
    EXPECT_EQ(server.find(136)->data, std::vector<std::uint8_t>(call, call + 3));
    EXPECT_EQ(server.find(136)->guid, client.peer.guid());
    EXPECT_EQ(client.find(135)->data, std::vector<std::uint8_t>(state, state + 4));
}

TEST_F(Session, AnUnreliablePacketLargerThanADatagramArrivesWhole)
{
    std::vector<std::uint8_t> big(5000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    big[0] = 135;
    server.peer.broadcast(big.data(), big.size(), NetPeer::Reliability::unreliableSequenced, 0);
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] { return client.find(135) != nullptr; }));
    EXPECT_EQ(client.find(135)->data, big);
}

TEST_F(Session, BroadcastCanLeaveOneConnectionOut)
{
    Inbox second;
    ASSERT_TRUE(second.peer.start(0, 1));
    ASSERT_TRUE(second.peer.connect("127.0.0.1", port));
    ASSERT_TRUE(pumpUntil({&server, &second}, [&] { return second.find(message::connectionRequestAccepted); }));
    const auto firstAddress = server.find(message::newIncomingConnection)->sender;
    const std::uint8_t relay[] = {136, 0};
    server.peer.broadcast(relay, sizeof relay, NetPeer::Reliability::reliableOrdered, 1, firstAddress);
    ASSERT_TRUE(pumpUntil({&server, &client, &second}, [&] { return second.find(136) != nullptr; }));
    pumpUntil(
        {&client}, [] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(client.find(136), nullptr);
}

TEST_F(Session, AGoodbyeIsADisconnectionNotice)
{
    client.peer.shutdown(std::chrono::milliseconds(50));
    EXPECT_FALSE(client.peer.isActive());
    ASSERT_TRUE(pumpUntil({&server}, [&] { return server.find(message::disconnectionNotification); }));
    EXPECT_EQ(server.peer.connectionCount(), 0u);
}

TEST_F(Session, SilenceIsALostConnection)
{
    client.peer.setTimeout(std::chrono::milliseconds(300));
    const auto serverAddress = client.find(message::connectionRequestAccepted)->sender;
    const std::uint8_t call[] = {136, 0};
    client.peer.send(call, sizeof call, NetPeer::Reliability::reliableOrdered, 1, serverAddress);
    // The server is no longer polled: nothing acknowledges the call.
    ASSERT_TRUE(pumpUntil({&client}, [&] { return client.find(message::connectionLost) != nullptr; }));
    EXPECT_EQ(client.find(message::disconnectionNotification), nullptr);
}

TEST(NetPeers, AFullServerRefusesFurtherClients)
{
    Inbox server, first, second;
    ASSERT_TRUE(server.peer.start(0, 4));
    server.peer.setMaximumIncomingConnections(1);
    const std::uint16_t port = server.peer.boundPort();
    ASSERT_TRUE(first.peer.start(0, 1));
    ASSERT_TRUE(second.peer.start(0, 1));
    ASSERT_TRUE(first.peer.connect("127.0.0.1", port));
    ASSERT_TRUE(pumpUntil({&server, &first}, [&] { return first.find(message::connectionRequestAccepted); }));
    ASSERT_TRUE(second.peer.connect("127.0.0.1", port));
    ASSERT_TRUE(pumpUntil({&server, &second}, [&] { return second.find(message::noFreeIncomingConnections); }));
    EXPECT_EQ(server.peer.connectionCount(), 1u);
}

TEST(NetPeers, ACopyThatReachesItselfIsRefused)
{
    Inbox self;
    ASSERT_TRUE(self.peer.start(0, 4));
    self.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(self.peer.connect("127.0.0.1", self.peer.boundPort()));
    pumpUntil(
        {&self}, [] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(self.find(message::newIncomingConnection), nullptr);
    EXPECT_EQ(self.find(message::connectionRequestAccepted), nullptr);
    EXPECT_EQ(self.peer.connectionCount(), 0u);
}

// As through a router that turns a copy's own public address back to it: the
// request comes from another address than the one it went to.
TEST(NetPeers, ACopyThatReachesItselfThroughAnotherAddressIsRefused)
{
    Inbox self;
    ASSERT_TRUE(self.peer.start(0, 4));
    self.peer.setMaximumIncomingConnections(4);
    const test::DelayRelay router(self.peer.boundPort(), std::chrono::milliseconds(1));
    ASSERT_TRUE(self.peer.connect("127.0.0.1", router.port()));
    pumpUntil(
        {&self}, [] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(self.find(message::newIncomingConnection), nullptr);
    EXPECT_EQ(self.find(message::connectionRequestAccepted), nullptr);
    EXPECT_EQ(self.peer.connectionCount(), 0u);
}

TEST(NetPeers, APortIsBoundOnce)
{
    NetPeer a, b;
    ASSERT_TRUE(a.start(0, 2));
    EXPECT_FALSE(b.start(a.boundPort(), 2));
    EXPECT_TRUE(b.start(0, 2));
}

TEST(NetPeers, PingsToTheBroadcastAddressFindAcceptingPeers)
{
    Inbox open, closed, seeker;
    ASSERT_TRUE(open.peer.start(0, 4));
    open.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(closed.peer.start(0, 4)); // accepts no connections
    ASSERT_TRUE(seeker.peer.start(0, 4));
    seeker.peer.ping("255.255.255.255", open.peer.boundPort(), true);
    seeker.peer.ping("255.255.255.255", closed.peer.boundPort(), true);
    ASSERT_TRUE(pumpUntil({&open, &closed, &seeker}, [&] { return seeker.find(message::unconnectedPong); }));
    const auto* pong = seeker.find(message::unconnectedPong);
    EXPECT_EQ(pong->guid, open.peer.guid());
    EXPECT_EQ(pong->sender.port, open.peer.boundPort());
    pumpUntil(
        {&open, &closed, &seeker}, [] { return false; }, std::chrono::milliseconds(100));
    int pongs = 0;
    for (const auto& p : seeker.packets)
        pongs += p.id() == message::unconnectedPong;
    EXPECT_EQ(pongs, 1);
    EXPECT_TRUE(open.packets.empty()); // pings are answered, not delivered
}

TEST(NetPeers, AFailedAttemptIsReported)
{
    Inbox lonely;
    NetPeer nobody;
    ASSERT_TRUE(nobody.start(0, 1)); // bound but never polled: it answers nothing
    ASSERT_TRUE(lonely.peer.start(0, 1));
    ASSERT_TRUE(lonely.peer.connect("127.0.0.1", nobody.boundPort()));
    EXPECT_EQ(lonely.peer.connectionState(kit::NetAddress{0x7F000001, nobody.boundPort()}),
              NetPeer::ConnectionState::connecting);
    ASSERT_TRUE(pumpUntil(
        {&lonely}, [&] { return lonely.find(message::connectionAttemptFailed); }, std::chrono::milliseconds(15000)));
}

TEST(NetPeers, NamesForTheIdentifiers)
{
    EXPECT_STREQ(message::name(message::unconnectedPong), "UNCONNECTED_PONG");
    EXPECT_STREQ(message::name(135), "");
    EXPECT_FALSE(NetPeer::localIPv4().empty());
}

namespace {

std::uint32_t versionIn(const NetPeer::Packet& refusal)
{
    if (refusal.data.size() != 5)
        return 0;
    return (std::uint32_t(refusal.data[1]) << 24) | (std::uint32_t(refusal.data[2]) << 16) |
           (std::uint32_t(refusal.data[3]) << 8) | refusal.data[4];
}

} // namespace

TEST(NetPeerVersions, CopiesOfDifferentVersionsRefuseEachOtherOnBothSides)
{
    Inbox server, client(NetPeer::protocolVersion + 1);
    ASSERT_TRUE(server.peer.start(0, 4));
    server.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(client.peer.start(0, 1));
    ASSERT_TRUE(client.peer.connect("127.0.0.1", server.peer.boundPort()));
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] {
        return server.find(message::incompatibleProtocol) && client.find(message::incompatibleProtocol);
    }));
    EXPECT_EQ(versionIn(*client.find(message::incompatibleProtocol)), NetPeer::protocolVersion);
    EXPECT_EQ(versionIn(*server.find(message::incompatibleProtocol)), NetPeer::protocolVersion + 1);
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] { return server.peer.connectionCount() == 0; }));
    pumpUntil(
        {&server, &client}, [] { return false; }, std::chrono::milliseconds(300));
    for (Inbox* side : {&server, &client}) {
        EXPECT_EQ(side->count(message::incompatibleProtocol), 1u) << "told once";
        EXPECT_EQ(side->find(message::disconnectionNotification), nullptr);
        EXPECT_EQ(side->find(message::connectionRequestAccepted), nullptr);
        EXPECT_EQ(side->find(message::newIncomingConnection), nullptr);
        EXPECT_EQ(side->find(message::connectionAttemptFailed), nullptr) << "told once, as another version";
        EXPECT_EQ(side->peer.connectionCount(), 0u);
    }
}

TEST(NetPeerVersions, AHostOfBeforeVersionsIsRefusedAtItsHello)
{
    Inbox old(NetPeer::legacyProtocol), client;
    ASSERT_TRUE(old.peer.start(0, 4));
    old.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(client.peer.start(0, 1));
    ASSERT_TRUE(client.peer.connect("127.0.0.1", old.peer.boundPort()));
    ASSERT_TRUE(pumpUntil({&old, &client}, [&] { return client.find(message::incompatibleProtocol); }));
    EXPECT_EQ(versionIn(*client.find(message::incompatibleProtocol)), NetPeer::legacyProtocol);
    EXPECT_EQ(client.find(message::connectionRequestAccepted), nullptr);
    // The old copy took the connection at once, as it always did, and sees it end.
    ASSERT_TRUE(pumpUntil({&old, &client}, [&] { return old.find(message::disconnectionNotification); }));
    EXPECT_NE(old.find(message::newIncomingConnection), nullptr);
}

TEST(NetPeerVersions, AClientOfBeforeVersionsIsRefusedWhenItsHelloNeverComes)
{
    // Beside it, a client of this version, and an old one at a host that
    // waits as long as a game does (a copy still loading may be slow to speak).
    Inbox server, old(NetPeer::legacyProtocol), current, patient, slow(NetPeer::legacyProtocol);
    constexpr auto wait = std::chrono::milliseconds(600);
    server.peer.setHelloWait(wait);
    for (Inbox* host : {&server, &patient}) {
        ASSERT_TRUE(host->peer.start(0, 4));
        host->peer.setMaximumIncomingConnections(4);
    }
    for (Inbox* client : {&old, &current, &slow})
        ASSERT_TRUE(client->peer.start(0, 1));
    ASSERT_TRUE(current.peer.connect("127.0.0.1", server.peer.boundPort()));
    ASSERT_TRUE(pumpUntil({&server, &current}, [&] { return server.find(message::newIncomingConnection); }));
    const auto everyone = {&server, &old, &current, &patient, &slow};
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(old.peer.connect("127.0.0.1", server.peer.boundPort()));
    ASSERT_TRUE(slow.peer.connect("127.0.0.1", patient.peer.boundPort()));
    // Within the wait, it is only connecting.
    pumpUntil(
        everyone, [] { return false; }, wait - std::chrono::milliseconds(150));
    ASSERT_LT(std::chrono::steady_clock::now() - started, wait);
    EXPECT_EQ(server.find(message::incompatibleProtocol), nullptr);
    EXPECT_EQ(server.count(message::newIncomingConnection), 1u) << "the client of this version's alone";
    EXPECT_EQ(server.peer.connectionCount(), 1u);
    // Past it, refused; the old copy hears its attempt failed.
    ASSERT_TRUE(pumpUntil(everyone, [&] {
        return server.find(message::incompatibleProtocol) && old.find(message::connectionAttemptFailed);
    }));
    EXPECT_GE(std::chrono::steady_clock::now() - started, wait);
    EXPECT_EQ(versionIn(*server.find(message::incompatibleProtocol)), NetPeer::legacyProtocol);
    // Twice the wait: the client that said hello stays; the game's own wait is longer.
    pumpUntil(
        everyone, [] { return false; }, 2 * wait);
    EXPECT_EQ(server.count(message::incompatibleProtocol), 1u);
    EXPECT_EQ(server.count(message::newIncomingConnection), 1u);
    EXPECT_EQ(server.peer.connectionCount(), 1u);
    EXPECT_EQ(current.find(message::disconnectionNotification), nullptr);
    EXPECT_EQ(patient.find(message::incompatibleProtocol), nullptr);
    EXPECT_EQ(slow.find(message::connectionAttemptFailed), nullptr);
}

TEST(NetPeerVersions, WhatTheHostSendsBeforeTheClientsHelloArrivesAfterIt)
{
    Inbox server, client;
    ASSERT_TRUE(server.peer.start(0, 4));
    server.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(client.peer.start(0, 1));
    const kit::NetAddress clientAddress{0x7F000001, client.peer.boundPort()};
    ASSERT_TRUE(client.peer.connect("127.0.0.1", server.peer.boundPort()));
    // The server has the connection, and the client's hello has not come yet.
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] {
        return server.peer.connectionState(clientAddress) == NetPeer::ConnectionState::connecting;
    }));
    const std::uint8_t call[] = {136, 'e', 'a', 'r', 'l', 'y', 0};
    EXPECT_EQ(server.peer.broadcast(call, sizeof call, NetPeer::Reliability::reliableOrdered, 1), 1u);
    ASSERT_TRUE(
        pumpUntil({&server, &client}, [&] { return client.find(136) && server.find(message::newIncomingConnection); }));
    // Delivered after the connection was told, never before.
    std::size_t accepted = 0, early = 0;
    for (std::size_t i = 0; i < client.packets.size(); ++i) {
        if (client.packets[i].id() == message::connectionRequestAccepted)
            accepted = i;
        if (client.packets[i].id() == 136)
            early = i;
    }
    EXPECT_LT(accepted, early);
    EXPECT_EQ(server.peer.connectionState(clientAddress), NetPeer::ConnectionState::connected);
}

namespace {

// A copy that connects to `port` and, once accepted, leaves again; whether it was accepted.
bool connectsAndLeaves(Inbox& server, std::uint16_t port)
{
    Inbox visitor;
    if (!visitor.peer.start(0, 1) || !visitor.peer.connect("127.0.0.1", port))
        return false;
    pumpUntil({&server, &visitor}, [&] {
        return visitor.find(message::connectionRequestAccepted) || visitor.find(message::connectionAttemptFailed);
    });
    const bool accepted = visitor.find(message::connectionRequestAccepted) != nullptr;
    visitor.peer.shutdown();
    pumpUntil({&server}, [&] { return server.peer.connectionCount() == 0; });
    return accepted;
}

} // namespace

TEST(ConnectionAttempts, AnAddressThatConnectsTooOftenIsTurnedAwayButThisMachinesCopiesAreNot)
{
    testing::internal::CaptureStderr();
    Inbox server;
    ASSERT_TRUE(server.peer.start(0, 4));
    server.peer.setMaximumIncomingConnections(4);
    const std::uint16_t port = server.peer.boundPort();
    // Copies on this machine come and go as often as they like.
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(connectsAndLeaves(server, port)) << i;
    // Counted as an address from elsewhere: five at once, then no more for a while.
    server.peer.limitAttemptsFromLoopback(true);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(connectsAndLeaves(server, port)) << i;
    EXPECT_FALSE(connectsAndLeaves(server, port)) << "the sixth in a row";
    EXPECT_EQ(server.peer.connectionCount(), 0u);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Refused a connection from 127.0.0.1: it has opened too many of late"), std::string::npos);
}

TEST(NetPeerLinks, AConnectionHasFiguresOnlyOnceItIsMade)
{
    Inbox server, client;
    ASSERT_TRUE(server.peer.start(0, 4));
    server.peer.setMaximumIncomingConnections(4);
    ASSERT_TRUE(client.peer.start(0, 2));
    const kit::NetAddress nobody{0x7F000001, 9};
    ASSERT_TRUE(client.peer.connect("127.0.0.1", nobody.port));
    EXPECT_FALSE(client.peer.linkQuality(nobody)) << "still connecting: ENet's first guess is no figure";
    const kit::NetAddress host{0x7F000001, server.peer.boundPort()};
    ASSERT_TRUE(client.peer.connect("127.0.0.1", host.port));
    ASSERT_TRUE(pumpUntil({&server, &client}, [&] { return client.find(message::connectionRequestAccepted); }));
    const std::optional<kit::LinkQuality> link = client.peer.linkQuality(host);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->loss, 0.0f);
    EXPECT_FALSE(client.peer.linkQuality(nobody));
}

namespace {

// A copy connected to `server` crashes and starts again on its port; its
// new connection is taken at once, in either order of the two ids (each
// drawn at random), and the dead one is told as lost. `serverOpened`: the
// dead connection was opened by the server (as copies that find each other
// on the LAN may), else by the copy.
void expectAStartAgainReplacesTheDeadConnection(bool serverOpened)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Inbox server;
        ASSERT_TRUE(server.peer.start(0, 4));
        server.peer.setMaximumIncomingConnections(4);
        auto first = std::make_unique<Inbox>();
        ASSERT_TRUE(first->peer.start(0, 1));
        first->peer.setMaximumIncomingConnections(1);
        const std::uint16_t clientPort = first->peer.boundPort();
        if (serverOpened) {
            ASSERT_TRUE(server.peer.connect("127.0.0.1", clientPort));
            ASSERT_TRUE(
                pumpUntil({&server, first.get()}, [&] { return server.find(message::connectionRequestAccepted); }));
        } else {
            ASSERT_TRUE(first->peer.connect("127.0.0.1", server.peer.boundPort()));
            ASSERT_TRUE(pumpUntil({&server, first.get()}, [&] { return server.find(message::newIncomingConnection); }));
        }
        first->peer.abandon(); // a crash: no goodbye
        // ENet draws a connection's id from the host's address in memory and
        // the time in seconds: a copy started again in the same second at the
        // same address would send the same id, which ENet itself takes for a
        // resend. A process started again is elsewhere in memory.
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));

        Inbox again;
        ASSERT_TRUE(again.peer.start(clientPort, 1)) << "the port is free again";
        ASSERT_TRUE(again.peer.connect("127.0.0.1", server.peer.boundPort()));
        const std::size_t incoming = serverOpened ? 1 : 2;
        ASSERT_TRUE(pumpUntil(
            {&server, &again},
            [&] {
                return again.find(message::connectionRequestAccepted) &&
                       server.count(message::newIncomingConnection) == incoming;
            },
            std::chrono::milliseconds(2000)))
            << "the new copy waited for the old connection's silence";
        const NetPeer::Packet* lost = server.find(message::connectionLost);
        ASSERT_NE(lost, nullptr) << "the dead connection is not told as lost";
        EXPECT_EQ(lost->sender.port, clientPort);
        EXPECT_EQ(server.peer.connectionCount(), 1u);
    }
}

} // namespace

TEST(NetPeerLinks, ACopyThatStartsAgainOnItsPortReplacesItsDeadConnectionAtOnce)
{
    expectAStartAgainReplacesTheDeadConnection(false);
}

TEST(NetPeerLinks, AConnectionWeOpenedIsReplacedAtOnceWhenItsCopyStartsAgain)
{
    expectAStartAgainReplacesTheDeadConnection(true);
}
