// A link's figures: kept within bounds, combined over two legs through the
// host, judged poor beyond 250 ms or 5 % loss, and put in words.
#include "engine/network/LinkQuality.h"

#include <gtest/gtest.h>

#include <limits>

using kit::LinkQuality;

namespace {

TEST(LinkQualities, StayWithinTheirBounds)
{
    EXPECT_EQ(kit::boundedLink(9999, 0.5f), (LinkQuality{9999, 0.5f}));
    EXPECT_EQ(kit::boundedLink(10000, 0.0f).roundTripMs, 9999u);
    EXPECT_EQ(kit::boundedLink(std::numeric_limits<std::uint32_t>::max(), 0.0f).roundTripMs, 9999u);
    EXPECT_EQ(kit::boundedLink(0, -0.25f).loss, 0.0f);
    EXPECT_EQ(kit::boundedLink(0, 1.5f).loss, 1.0f);
    EXPECT_EQ(kit::boundedLink(0, std::numeric_limits<float>::quiet_NaN()).loss, 0.0f);
    EXPECT_EQ(kit::boundedLink(0, std::numeric_limits<float>::infinity()).loss, 1.0f);
}

TEST(LinkQualities, ThroughTheHostAddTheRoundTripsAndCombineTheLosses)
{
    const LinkQuality both = kit::throughHost(LinkQuality{40, 0.02f}, LinkQuality{60, 0.03f});
    EXPECT_EQ(both.roundTripMs, 100u);
    // A packet gets through both legs 0.98 * 0.97 of the time: not 5 % lost, 4.94 %.
    EXPECT_NEAR(both.loss, 1.0f - 0.98f * 0.97f, 1e-6f);
    EXPECT_FLOAT_EQ(kit::throughHost(LinkQuality{5, 0.0f}, LinkQuality{7, 0.1f}).loss, 0.1f)
        << "a clean leg adds no loss";
    EXPECT_FLOAT_EQ(kit::throughHost(LinkQuality{5, 0.1f}, LinkQuality{7, 0.0f}).loss, 0.1f);
    EXPECT_EQ(kit::throughHost(LinkQuality{5, 1.0f}, LinkQuality{7, 0.5f}).loss, 1.0f);
    EXPECT_EQ(kit::throughHost(LinkQuality{9000, 0.0f}, LinkQuality{9000, 0.0f}).roundTripMs, 9999u);
    EXPECT_EQ(kit::throughHost(LinkQuality{50000, 3.0f}, LinkQuality{1, -1.0f}), (LinkQuality{9999, 1.0f}))
        << "legs out of bounds are bounded first";
}

TEST(LinkQualities, ArePoorBeyondAQuarterSecondOrOnePacketInTwenty)
{
    EXPECT_FALSE(kit::isPoor(LinkQuality{0, 0.0f}));
    EXPECT_FALSE(kit::isPoor(LinkQuality{250, 0.0f})) << "exactly 250 ms is not poor";
    EXPECT_TRUE(kit::isPoor(LinkQuality{251, 0.0f}));
    EXPECT_FALSE(kit::isPoor(LinkQuality{0, 0.05f})) << "exactly 5 % is not poor";
    EXPECT_TRUE(kit::isPoor(LinkQuality{0, 0.0501f}));
    EXPECT_FALSE(kit::isPoor(LinkQuality{250, 0.05f}));
    EXPECT_TRUE(kit::isPoor(LinkQuality{251, 0.05f}));
    EXPECT_TRUE(kit::isPoor(LinkQuality{250, 0.06f}));
}

TEST(LinkQualities, ShowTheirLossInWholePercentRoundedUp)
{
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.0f}), 0);
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.002f}), 1) << "some loss never reads as none";
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.03f}), 3);
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.05f}), 5) << "not poor, and not shown as if it were";
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.053f}), 6) << "poor, and shown above 5";
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.15f}), 15) << "a float's dust above 15 % is no 16 %";
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 0.3f}), 30);
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 1.0f}), 100);
    EXPECT_EQ(kit::lossPercent(LinkQuality{0, 7.0f}), 100);
}

TEST(LinkQualities, AreDescribedForTheConsole)
{
    EXPECT_EQ(kit::describe(LinkQuality{310, 0.07f}), "310 ms, 7% loss");
    EXPECT_EQ(kit::describe(LinkQuality{42, 0.0f}), "42 ms, 0% loss");
    EXPECT_EQ(kit::describe(LinkQuality{123456, 0.0f}), "9999 ms, 0% loss");
}

} // namespace
