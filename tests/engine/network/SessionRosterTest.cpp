// The session's roster: its packet, read back whatever arrives, the next
// host every copy picks from it, and a stale roster left unread.
#include "engine/network/SessionRoster.h"
#include "HostMigrationFixture.h"

#include "engine/core/World.h"
#include "engine/network/MessageIdentifiers.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

using test::SessionCopy;

TEST(SessionRosterPacket, HasItsExactLayoutAndReadsBack)
{
    kit::SessionRoster roster;
    roster.host = 0x01020304;
    roster.gamePort = 16519;
    roster.sequence = 0x0A000007;
    roster.members = {{0x11223344, 0xC0A80007}, {0x0A0B0C0D, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    const std::vector<std::uint8_t> bytes(packet.data(), packet.data() + packet.bytesUsed());
    // 137, host, port, sequence, then 1 bit + origin + address per member,
    // oldest first (so not byte aligned), and a 0 bit.
    const std::vector<std::uint8_t> expected{0x89, 0x01, 0x02, 0x03, 0x04, 0x40, 0x87, 0x0A, 0x00, 0x00,
                                             0x07, 0x88, 0x91, 0x19, 0xA2, 0x60, 0x54, 0x00, 0x03, 0xC2,
                                             0x82, 0xC3, 0x03, 0x5F, 0xC0, 0x00, 0x00, 0x40};
    EXPECT_EQ(bytes, expected);
    const auto back = kit::SessionRoster::decode(bytes.data(), bytes.size());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, roster) << "the order of arrival is kept";
}

TEST(SessionRosterPacket, AnythingElseReadsSafely)
{
    EXPECT_FALSE(kit::SessionRoster::decode(nullptr, 0).has_value());
    const std::uint8_t notARoster[] = {136, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_FALSE(kit::SessionRoster::decode(notARoster, sizeof notARoster).has_value());
    // A header without its sequence is no roster.
    kit::SessionRoster roster;
    roster.host = 9;
    roster.members = {{7, 0x7F000001}, {5, 0x7F000001}};
    const kit::NetStream packet = roster.encode();
    EXPECT_FALSE(kit::SessionRoster::decode(packet.data(), 1 + 4 + 2 + 3).has_value());
    EXPECT_TRUE(kit::SessionRoster::decode(packet.data(), 1 + 4 + 2 + 4).has_value());
    // Cut short in the second member: the first stands.
    const auto cut = kit::SessionRoster::decode(packet.data(), packet.bytesUsed() - 3);
    ASSERT_TRUE(cut.has_value());
    ASSERT_EQ(cut->members.size(), 1u);
    EXPECT_EQ(cut->members[0].origin, 7u);
    // The host listed as a member, a member twice, many members: each copy
    // once, at its first place, the list bounded.
    kit::NetStream forged;
    forged.write(kit::SessionRoster::id);
    forged.write(std::uint32_t{9});
    forged.write(std::uint16_t{1});
    forged.write(std::uint32_t{1});
    for (std::uint32_t i = 0; i < 1000; ++i) {
        forged.write(true);
        forged.write(i % 300 == 0 ? 9u : 1000u - i / 2);
        forged.write(std::uint32_t{1});
    }
    forged.write(false);
    const auto read = kit::SessionRoster::decode(forged.data(), forged.bytesUsed());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->members.size(), kit::SessionRoster::maxMembers);
    EXPECT_FALSE(read->contains(9));
    for (std::size_t i = 1; i < read->members.size(); ++i)
        EXPECT_GT(read->members[i - 1].origin, read->members[i].origin);
}

TEST(SessionRosterChoice, EveryCopyPicksTheMemberThatCameFirst)
{
    kit::SessionRoster roster;
    roster.host = 0x10;
    roster.members = {{0x40, 1}, {0x30, 1}, {0x50, 1}};
    EXPECT_EQ(kit::nextHost(roster, {0x10}), 0x40u) << "the origins decide nothing";
    EXPECT_EQ(kit::nextHost(roster, {0x10, 0x40}), 0x30u) << "a pick that never answered is passed over";
    EXPECT_EQ(kit::nextHost(roster, {0x10, 0x40, 0x30}), 0x50u);
    EXPECT_FALSE(kit::nextHost(roster, {0x10, 0x30, 0x40, 0x50}).has_value());
}

TEST(SessionRosterChoice, ACopyThatJoinedLastChangesNobodysPick)
{
    // The host's last roster named a copy that joined just before it went;
    // some copies had it, others only the roster before. A late joiner, the
    // lowest origin of all, is picked by nobody, and picks with the others.
    kit::SessionRoster before;
    before.host = 0x50;
    before.sequence = 7;
    before.members = {{0x40, 1}, {0x30, 1}};
    kit::SessionRoster after = before;
    after.sequence = 8;
    after.members.push_back({0x01, 1});
    EXPECT_EQ(kit::nextHost(before, {0x50}), kit::nextHost(after, {0x50}));
    EXPECT_EQ(kit::nextHost(after, {0x50}), 0x40u);
    // With every older copy gone, the late one is next for those who know it,
    // and nobody at all for those who do not: they never pick a stranger.
    EXPECT_EQ(kit::nextHost(after, {0x50, 0x40, 0x30}), 0x01u);
    EXPECT_FALSE(kit::nextHost(before, {0x50, 0x40, 0x30}).has_value());
}

TEST(SessionRosterChoice, ACopyTheHostSawOnLoopbackIsOnTheHostsMachine)
{
    const kit::NetAddress host{0xC0A80005, 16519};
    EXPECT_EQ(kit::reachOf({1, 0x7F000001}, host, 16519), (kit::NetAddress{0xC0A80005, 16519}));
    EXPECT_EQ(kit::reachOf({1, 0xC0A80009}, host, 17000), (kit::NetAddress{0xC0A80009, 17000}));
}

TEST(SessionRosterOrder, AStaleRosterFromTheHostIsIgnored)
{
    testing::internal::CaptureStdout();
    SessionCopy client(0x2000);
    const kit::NetAddress hostAddress{0x7F000001, 30001};
    client.network->migration().joined();
    client.network->handlePacket(kit::NetPeer::Packet{{kit::message::connectionRequestAccepted}, hostAddress, 9});
    auto send = [&](std::uint32_t sequence, std::vector<kit::SessionRoster::Member> members) {
        kit::SessionRoster roster;
        roster.host = 0x1000;
        roster.sequence = sequence;
        roster.members = std::move(members);
        const kit::NetStream packet = roster.encode();
        client.network->handlePacket(kit::NetPeer::Packet{
            std::vector<std::uint8_t>(packet.data(), packet.data() + packet.bytesUsed()), hostAddress, 9});
    };
    send(5, {{0x2000, 1}, {0x3000, 1}});
    send(4, {{0x2000, 1}}); // older, late
    ASSERT_TRUE(client.network->migration().roster().has_value());
    EXPECT_EQ(client.network->migration().roster()->members.size(), 2u);
    send(5, {{0x2000, 1}});
    EXPECT_EQ(client.network->migration().roster()->members.size(), 2u) << "the same number is no news";
    send(6, {{0x2000, 1}});
    EXPECT_EQ(client.network->migration().roster()->members.size(), 1u);
    testing::internal::GetCapturedStdout();
}
