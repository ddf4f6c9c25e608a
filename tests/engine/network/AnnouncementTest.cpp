// What a copy tells the LAN of its session, on the wire, and how long a
// running match stands in it.
#include "engine/network/Announcement.h"
#include "engine/network/LANDiscoverySystem.h"

#include <gtest/gtest.h>

using kit::Announcement;

namespace {

using Running = Announcement::RunningMatch;

std::optional<Announcement> decode(const std::vector<std::uint8_t>& bytes)
{
    return Announcement::decode(bytes.data(), bytes.size());
}

} // namespace

TEST(AnnouncementWire, TheHostingBitThenTheRunningMatchsSecondsAndPlayers)
{
    // 135, hosting 0, running 1, then 102 in 16 bits and 4 in 8, from the
    // third bit of the second byte on.
    const Announcement said{false, Running{102, 4}};
    const std::vector<std::uint8_t> bytes = said.encode();
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{135, 0x40, 0x19, 0x81, 0x00}));
    EXPECT_EQ(decode(bytes), said);
    // Hosting, no match: the two bits of before, then a 0.
    EXPECT_EQ(Announcement{true}.encode(), (std::vector<std::uint8_t>{135, 0x80}));
    EXPECT_EQ(decode({135, 0x80}), Announcement{true});
    for (const Announcement& a :
         {Announcement{true, Running{0, 0}}, Announcement{false, Running{3600, 16}}, Announcement{false, std::nullopt}})
        EXPECT_EQ(decode(a.encode()), a);
}

TEST(AnnouncementWire, ACopyOfBeforeIsReadAsHostingOrNotWithNoMatch)
{
    // A copy that knows only the hosting bit sends it and pads with zeros.
    EXPECT_EQ(decode({135, 0x80}), Announcement{true});
    EXPECT_EQ(decode({135, 0x00}), Announcement{false});
}

TEST(AnnouncementWire, WhatIsNoAnnouncementIsRefusedAndABadMatchIsReadAsNone)
{
    EXPECT_FALSE(decode({}));
    EXPECT_FALSE(decode({134, 0x80})) << "another identifier";
    // The identifier alone has no hosting bit.
    EXPECT_FALSE(decode({135}));
    // A match cut short: the hosting bit still counts.
    EXPECT_EQ(decode({135, 0xC0, 0x19}), Announcement{true});
    EXPECT_EQ(decode({135, 0x40, 0x19, 0x81}), Announcement{false}) << "no byte of players";
    // Beyond an hour, or more players than any session seats.
    EXPECT_EQ(decode(Announcement{false, Running{3601, 4}}.encode()), Announcement{false});
    EXPECT_EQ(decode(Announcement{false, Running{60, 17}}.encode()), Announcement{false});
    EXPECT_EQ(decode(Announcement{false, Running{60, 16}}.encode()), (Announcement{false, Running{60, 16}}));
}

TEST(AnnouncedMatch, StandsUntilItsWorldFallsSilentAndIsToldAtOnceWhenItStartsOrChanges)
{
    kit::LANDiscoverySystem discovery({}, 4, 1.0f); // binds no port: only what it would say counts
    EXPECT_FALSE(discovery.match());
    discovery.announceMatch(Running{120, 4});
    EXPECT_TRUE(discovery.announceNow) << "a match that starts is told at once";
    discovery.announceNow = false;
    discovery.announceMatch(Running{119, 4});
    EXPECT_FALSE(discovery.announceNow) << "its clock goes with the next second's word";
    discovery.announceMatch(Running{118, 3});
    EXPECT_TRUE(discovery.announceNow) << "a player who leaves is told at once";
    discovery.announceNow = false;
    ASSERT_TRUE(discovery.match());
    EXPECT_EQ(*discovery.match(), (Running{118, 3}));

    // Each word holds it for matchLease seconds more.
    discovery.update(kit::LANDiscoverySystem::matchLease - 0.5f);
    discovery.announceMatch(Running{117, 3});
    discovery.update(kit::LANDiscoverySystem::matchLease - 0.1f);
    EXPECT_TRUE(discovery.match());
    EXPECT_FALSE(discovery.announceNow);
    discovery.update(0.2f);
    EXPECT_FALSE(discovery.match()) << "its world fell silent";
    EXPECT_TRUE(discovery.announceNow) << "and the end is told at once";
}
