// How often one address may open a connection: a burst, then a steady trickle,
// each address on its own, and a table that stays bounded under a flood.
#include "engine/network/AttemptLimit.h"

#include <gtest/gtest.h>

using kit::AttemptLimit;

TEST(AttemptLimit, FiveAtOnceThenOneEverySixSeconds)
{
    AttemptLimit limit;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limit.allow(0x0B000102, 10.0f)) << i;
    EXPECT_FALSE(limit.allow(0x0B000102, 10.0f));
    EXPECT_FALSE(limit.allow(0x0B000102, 15.9f)) << "not a whole attempt back yet";
    EXPECT_TRUE(limit.allow(0x0B000102, 16.1f));
    EXPECT_FALSE(limit.allow(0x0B000102, 16.2f));
    // Another address has a budget of its own.
    EXPECT_TRUE(limit.allow(0x0B000103, 16.2f));
    // A long quiet refills the burst, and no more than the burst.
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(limit.allow(0x0B000102, 1000.0f)) << i;
    EXPECT_FALSE(limit.allow(0x0B000102, 1000.0f));
}

TEST(AttemptLimit, AFloodOfAddressesForgetsTheQuietOnesAndKeepsTheBusyOnes)
{
    AttemptLimit limit;
    const std::uint32_t busy = 0x0A000001;
    for (int i = 0; i < 5; ++i)
        limit.allow(busy, 0.0f);
    for (std::uint32_t a = 1; a < AttemptLimit::tracked; ++a)
        EXPECT_TRUE(limit.allow(0xC0000000 + a, 0.0f));
    EXPECT_EQ(limit.size(), AttemptLimit::tracked);
    // Full, and nobody's budget has come back: a newcomer waits.
    EXPECT_FALSE(limit.allow(0xD0000000, 1.0f));
    EXPECT_EQ(limit.size(), AttemptLimit::tracked);
    // Later the one-time visitors are whole again and forgotten; the busy
    // address has used its refill at once and is still remembered as spent.
    EXPECT_TRUE(limit.allow(busy, 6.5f));
    EXPECT_TRUE(limit.allow(0xD0000000, 7.0f));
    EXPECT_LT(limit.size(), 10u);
    EXPECT_FALSE(limit.allow(busy, 7.0f)) << "its debt outlived the flood";
}
