// The console's word on a copy's link: told when it turns poor and when it is
// fine again, at most once in ten seconds per copy, never for a link that
// was fine all along nor in a link's first five seconds.
#include "engine/network/LinkAlarm.h"

#include <gtest/gtest.h>

using kit::LinkAlarm;
using kit::LinkQuality;

namespace {

constexpr LinkQuality fineLink{42, 0.0f};
constexpr LinkQuality poorLink{310, 0.07f};

// An alarm that has judged copies 1 and 2 fine since time 0: past their first seconds from 5 on.
LinkAlarm settledAlarm()
{
    LinkAlarm alarm;
    EXPECT_FALSE(alarm.judge(1, fineLink, 0.0f));
    EXPECT_FALSE(alarm.judge(2, fineLink, 0.0f));
    return alarm;
}

TEST(LinkAlarms, SayNothingOfALinkFineFromTheStart)
{
    LinkAlarm alarm;
    for (float t = 0.0f; t < 30.0f; t += 1.0f)
        EXPECT_FALSE(alarm.judge(1, fineLink, t));
    EXPECT_FALSE(alarm.judge(1, LinkQuality{250, 0.05f}, 31.0f)) << "at the bounds is not poor";
}

TEST(LinkAlarms, SayNothingInALinksFirstFiveSeconds)
{
    LinkAlarm alarm;
    EXPECT_FALSE(alarm.judge(1, poorLink, 0.0f)) << "the other copy may still be loading";
    EXPECT_FALSE(alarm.judge(1, poorLink, 4.9f));
    EXPECT_EQ(alarm.judge(1, poorLink, 5.0f), "Link to copy 00000001 is poor: 310 ms, 7% loss");
    EXPECT_FALSE(alarm.judge(2, poorLink, 6.0f)) << "each copy's link has its own first seconds";
}

TEST(LinkAlarms, TellWhenALinkTurnsPoorAndWhenItIsFineAgain)
{
    LinkAlarm alarm;
    ASSERT_FALSE(alarm.judge(0x0000abcd, fineLink, 0.0f));
    EXPECT_EQ(alarm.judge(0x0000abcd, poorLink, 5.0f), "Link to copy 0000abcd is poor: 310 ms, 7% loss");
    EXPECT_FALSE(alarm.judge(0x0000abcd, poorLink, 16.0f)) << "once, while it stays poor";
    EXPECT_EQ(alarm.judge(0x0000abcd, fineLink, 17.0f), "Link to copy 0000abcd is fine again: 42 ms, 0% loss");
    EXPECT_FALSE(alarm.judge(0x0000abcd, fineLink, 30.0f));
}

TEST(LinkAlarms, TellAWaveringLinkAtMostOnceInTenSeconds)
{
    LinkAlarm alarm = settledAlarm();
    ASSERT_TRUE(alarm.judge(1, poorLink, 100.0f));
    EXPECT_FALSE(alarm.judge(1, fineLink, 101.0f));
    EXPECT_FALSE(alarm.judge(1, poorLink, 102.0f));
    EXPECT_FALSE(alarm.judge(1, fineLink, 109.9f));
    EXPECT_EQ(alarm.judge(1, fineLink, 110.0f), "Link to copy 00000001 is fine again: 42 ms, 0% loss")
        << "the change that lasted is told when the ten seconds are over";
    EXPECT_FALSE(alarm.judge(1, poorLink, 119.0f));
    EXPECT_FALSE(alarm.judge(1, fineLink, 121.0f)) << "a change that did not last is not told";
}

TEST(LinkAlarms, KeepEachCopyApart)
{
    LinkAlarm alarm = settledAlarm();
    ASSERT_TRUE(alarm.judge(1, poorLink, 10.0f));
    EXPECT_TRUE(alarm.judge(2, poorLink, 11.0f)) << "another copy's link has its own ten seconds";
    EXPECT_FALSE(alarm.judge(1, poorLink, 12.0f));
}

TEST(LinkAlarms, ForgetCopiesThatLeft)
{
    LinkAlarm alarm = settledAlarm();
    ASSERT_TRUE(alarm.judge(1, poorLink, 10.0f));
    ASSERT_TRUE(alarm.judge(2, poorLink, 10.0f));
    alarm.forgetIf([](std::uint32_t origin) { return origin == 1; });
    EXPECT_FALSE(alarm.judge(1, poorLink, 11.0f)) << "back in the session, its link starts afresh";
    EXPECT_TRUE(alarm.judge(1, poorLink, 16.0f));
    EXPECT_FALSE(alarm.judge(2, poorLink, 11.0f)) << "the other copy is still known to be poor";
    alarm.clear();
    EXPECT_FALSE(alarm.judge(2, fineLink, 30.0f));
    EXPECT_FALSE(alarm.judge(2, fineLink, 40.0f)) << "a new session starts from fine";
}

} // namespace
