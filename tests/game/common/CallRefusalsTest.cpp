// How many lines a flood of refused calls costs: twenty a second per
// function and reason, the rest counted into the next line.
#include "game/common/CallRefusals.h"

#include <gtest/gtest.h>

#include <string>

using namespace skyscuffle;

namespace {

using Clock = std::chrono::steady_clock;

std::size_t refusalLines(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t at = text.find("Refused"); at != std::string::npos; at = text.find("Refused", at + 1))
        ++n;
    return n;
}

} // namespace

TEST(CallRefusals, TwentyLinesInASecondAndTheTwentyFirstIsCounted)
{
    const Clock::time_point start = Clock::time_point{} + std::chrono::hours(100);
    testing::internal::CaptureStderr();
    for (int i = 0; i < refusals::linesPerSecond; ++i)
        refuseCall("edgeOfTheCount", "a test", start);
    const std::string twenty = testing::internal::GetCapturedStderr();
    EXPECT_EQ(refusalLines(twenty), 20u) << twenty;
    EXPECT_EQ(twenty.find("Refused \"edgeOfTheCount\": a test\n"), 0u) << twenty;
    testing::internal::CaptureStderr();
    refuseCall("edgeOfTheCount", "a test", start);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(CallRefusals, ANewSecondStartsAtASecondAndNotANanosecondBefore)
{
    const Clock::time_point start = Clock::time_point{} + std::chrono::hours(200);
    testing::internal::CaptureStderr();
    for (int i = 0; i < refusals::linesPerSecond + 1; ++i)
        refuseCall("edgeOfTheSecond", "a test", start);
    (void)testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    refuseCall("edgeOfTheSecond", "a test", start + std::chrono::seconds(1) - std::chrono::nanoseconds(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    refuseCall("edgeOfTheSecond", "a test", start + std::chrono::seconds(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Refused \"edgeOfTheSecond\": a test (and 2 more since)\n");
    // Each function and reason counts on its own.
    testing::internal::CaptureStderr();
    refuseCall("edgeOfTheSecond", "another reason", start);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Refused \"edgeOfTheSecond\": another reason\n");
}
