#include "game/match/MatchStart.h"
#include "game/match/SpawnCircle.h"
#include "game/match/Timer.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

using namespace skyscuffle;

namespace {

glm::vec3 nose(const SpawnPlacement& s)
{
    return s.rotation * glm::vec3(0, 0, 1);
}

} // namespace

TEST(SpawnCircle, FourPlayersStartClockwiseFromTheRightFacingAway)
{
    const float r = 120.0f / (2.0f * 3.14159265f);
    const glm::vec3 expected[4] = {{r, 0, 0}, {0, -r, 0}, {-r, 0, 0}, {0, r, 0}};
    const float noseX[4] = {1, 1, -1, -1}; // 90 degrees counts as right-facing, 270 does not
    for (int i = 0; i < 4; ++i) {
        const SpawnPlacement s = spawnPlacement(i, 4);
        EXPECT_NEAR(s.position.x, expected[i].x, 1e-3f) << i;
        EXPECT_NEAR(s.position.y, expected[i].y, 1e-3f) << i;
        EXPECT_EQ(s.position.z, 0.0f);
        EXPECT_NEAR(nose(s).x, noseX[i], 1e-5f) << i;
        EXPECT_NEAR((s.rotation * glm::vec3(0, 1, 0)).y, 1.0f, 1e-5f); // upright
    }
    EXPECT_NEAR(r, 19.1f, 0.01f);
}

TEST(SpawnCircle, TwoPlayersFaceAwayFromEachOther)
{
    const SpawnPlacement a = spawnPlacement(0, 2), b = spawnPlacement(1, 2);
    EXPECT_NEAR(a.position.x, 9.549f, 1e-3f);
    EXPECT_NEAR(b.position.x, -9.549f, 1e-3f);
    EXPECT_NEAR(b.position.y, 0.0f, 1e-3f);
    EXPECT_NEAR(nose(a).x, 1.0f, 1e-5f);
    EXPECT_NEAR(nose(b).x, -1.0f, 1e-5f);
    EXPECT_EQ(spawnPlacement(0, 1).position, glm::vec3(30.0f / (2.0f * 3.14159265f), 0, 0));
    EXPECT_EQ(spawnPlacement(0, 0).position, glm::vec3(0.0f)); // nobody: nothing to place
}

TEST(MatchClock, ShowsMinutesAndTwoDigitSeconds)
{
    EXPECT_EQ(Timer::format(125.4f), " 2:05");
    EXPECT_EQ(Timer::format(180.0f), " 3:00");
    EXPECT_EQ(Timer::format(59.99f), " 0:59");
    EXPECT_EQ(Timer::format(0.0f), " 0:00");
    EXPECT_EQ(Timer::format(-3.0f), " 0:00");
    EXPECT_EQ(Timer::format(3600.0f), "60:00");
}

TEST(Gauges, UpToFourKeepTheirPlacesAndSixStillFitA4To3Window)
{
    for (int j = 0; j < 4; ++j)
        EXPECT_FLOAT_EQ(gaugePlace(j, 4), static_cast<float>(j) * 0.5f - 0.75f) << j;
    EXPECT_FLOAT_EQ(gaugePlace(0, 1), -0.75f);
    // On a 4:3 window the half-width is 4/3 and a gauge 0.4 wide: every one
    // of six lies wholly inside, in order, without overlapping its neighbour.
    const float r = 4.0f / 3.0f, half = 0.2f;
    for (int count : {5, 6}) {
        for (int j = 0; j < count; ++j) {
            const float x = gaugePlace(j, count) * r;
            EXPECT_GE(x - half, -r) << j << " of " << count;
            EXPECT_LE(x + half, r) << j << " of " << count;
            if (j > 0) {
                EXPECT_GE(x - gaugePlace(j - 1, count) * r, 2.0f * half) << j << " of " << count;
            }
        }
    }
}
