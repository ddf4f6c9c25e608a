#include "engine/core/application/FramePacing.h"

#include <gtest/gtest.h>

TEST(FramePacing, ASlowFrameIsSimulatedAsOneTwentiethOfASecond)
{
    const kit::FrameStep step = kit::planFrame(0.2, 20.0f, 120.0f);
    EXPECT_FLOAT_EQ(step.dt, 0.05f);
    EXPECT_TRUE(step.clamped);
    EXPECT_FALSE(step.sleeps);
}

TEST(FramePacing, AFastFrameSleepsTheRestInWholeMilliseconds)
{
    // 1/120 s - 2 ms = 6.33 ms, truncated.
    const kit::FrameStep step = kit::planFrame(0.002, 20.0f, 120.0f);
    EXPECT_TRUE(step.sleeps);
    EXPECT_EQ(step.sleepMilliseconds, 6);
    EXPECT_FLOAT_EQ(step.dt, 0.002f); // the loop adds the measured sleep
}

TEST(FramePacing, FramesBetweenTheLimitsPassUnchanged)
{
    const kit::FrameStep step = kit::planFrame(0.03, 20.0f, 120.0f);
    EXPECT_FLOAT_EQ(step.dt, 0.03f);
    EXPECT_FALSE(step.sleeps);
    EXPECT_FALSE(step.clamped);
    // Exactly at the floor is not clamped.
    EXPECT_FALSE(kit::planFrame(0.05, 20.0f, 120.0f).clamped);
}

TEST(FramePacing, ZeroRatesSwitchTheirRuleOff)
{
    EXPECT_FALSE(kit::planFrame(10.0, 0.0f, 0.0f).clamped);
    EXPECT_FALSE(kit::planFrame(0.0, 0.0f, 0.0f).sleeps);
    // The default cap of 60 per second.
    EXPECT_EQ(kit::planFrame(0.0, 20.0f, 60.0f).sleepMilliseconds, 16);
}
