// A connection's figures in the game's terms: ENet's loss as a share, and
// its round trip as the time packets take there and back through a relay
// that holds them on their way.
#include "engine/network/NetPeer.h"

#include "support/DelayRelay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using kit::NetPeer;

namespace {

// Both peers take their packets for `span`.
void pump(NetPeer& a, NetPeer& b, std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    NetPeer::Packet p;
    while (std::chrono::steady_clock::now() < end) {
        while (a.receive(p)) {
        }
        while (b.receive(p)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

TEST(NetPeerLinks, ENetsLossReadsAsAShareOfItsPackets)
{
    // ENet counts its loss in parts of 65536.
    EXPECT_EQ(kit::NetPeer::transportLink(40, 0), (kit::LinkQuality{40, 0.0f}));
    EXPECT_FLOAT_EQ(kit::NetPeer::transportLink(40, 32768).loss, 0.5f);
    EXPECT_FLOAT_EQ(kit::NetPeer::transportLink(40, 655).loss, 655.0f / 65536.0f);
    EXPECT_FALSE(kit::isPoor(kit::NetPeer::transportLink(40, 655))) << "a packet in a hundred is no poor link";
    EXPECT_EQ(kit::NetPeer::transportLink(40, 65536).loss, 1.0f);
    EXPECT_EQ(kit::NetPeer::transportLink(40, 1000000).loss, 1.0f) << "bounded";
    EXPECT_EQ(kit::NetPeer::transportLink(123, 0).roundTripMs, 123u);
}

TEST(NetPeerLinks, TheRoundTripIsTheTimeThereAndBack)
{
    NetPeer server, client;
    ASSERT_TRUE(server.start(0, 4));
    server.setMaximumIncomingConnections(4);
    const test::DelayRelay relay(server.boundPort(), std::chrono::milliseconds(40));
    ASSERT_TRUE(client.start(0, 1));
    ASSERT_TRUE(client.connect("127.0.0.1", relay.port()));
    const kit::NetAddress host{0x7F000001, relay.port()};
    for (int i = 0; i < 30 && !client.linkQuality(host); ++i)
        pump(server, client, std::chrono::milliseconds(100));
    ASSERT_TRUE(client.linkQuality(host)) << "no connection through the relay";

    // Reliable packets, each answered: the smoothed figure settles on the
    // steady 80 ms the relay makes of every round trip.
    const std::uint8_t packet[] = {136, 0};
    for (int i = 0; i < 10; ++i) {
        client.send(packet, sizeof packet, NetPeer::Reliability::reliableOrdered, 1, host);
        pump(server, client, std::chrono::milliseconds(100));
    }
    const std::optional<kit::LinkQuality> link = client.linkQuality(host);
    ASSERT_TRUE(link);
    EXPECT_GE(link->roundTripMs, 70u);
    EXPECT_LE(link->roundTripMs, 1000u) << "a busy machine adds a little to the relay's 80 ms";
    EXPECT_EQ(link->loss, 0.0f);
}
