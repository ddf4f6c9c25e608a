#include "game/common/ArenaLayout.h"
#include "game/common/Arena.h"
#include "game/match/SpawnCircle.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>

using namespace skyscuffle;

namespace {

// The rectangles the art tool drew the arena's stage with, beside its model.
std::vector<ArenaBox> drawnSolids(const ArenaLayout& layout)
{
    std::filesystem::path model = std::filesystem::path(SKYSCUFFLE_SOURCE_DIR) / "assets" / layout.model;
    std::ifstream in(model.replace_extension(".solids"));
    std::vector<ArenaBox> boxes;
    ArenaBox box{};
    while (in >> box.x >> box.y >> box.width >> box.height)
        boxes.push_back(box);
    return boxes;
}

} // namespace

TEST(ArenaLayouts, EveryArenaIsWalledRoundItsOpenSpaceAsItsStageIsDrawn)
{
    std::set<std::string> names;
    for (std::int32_t i = 0; i < arenaCount; ++i) {
        const ArenaLayout& layout = arenaLayout(i);
        SCOPED_TRACE(layout.name);
        EXPECT_TRUE(names.insert(layout.name).second);
        EXPECT_EQ(arenaNumber(layout.name), i);
        ASSERT_GE(layout.solids.size(), 4u);
        // Ceiling, floor, left and right wall, in that order, face the open space.
        const auto& s = layout.solids;
        EXPECT_EQ(layout.low(s[0]).y, layout.openHigh.y);
        EXPECT_EQ(layout.high(s[1]).y, layout.openLow.y);
        EXPECT_EQ(layout.high(s[2]).x, layout.openLow.x);
        EXPECT_EQ(layout.low(s[3]).x, layout.openHigh.x);
        // ... and close it: no gap at a corner.
        for (std::size_t k : {0u, 1u}) {
            EXPECT_LE(layout.low(s[k]).x, layout.openLow.x);
            EXPECT_GE(layout.high(s[k]).x, layout.openHigh.x);
        }
        for (std::size_t k : {2u, 3u}) {
            EXPECT_LE(layout.low(s[k]).y, layout.openLow.y);
            EXPECT_GE(layout.high(s[k]).y, layout.openHigh.y);
        }
        // Whatever any copy may say of a plane in it is within the bounds it is held to.
        const kit::received::Box bounds = arena::planeBounds();
        EXPECT_GE(layout.openLow.x - bounds.low.x, 40.0f);
        EXPECT_GE(layout.openLow.y - bounds.low.y, 40.0f);
        EXPECT_GE(bounds.high.x - layout.openHigh.x, 40.0f);
        EXPECT_GE(bounds.high.y - layout.openHigh.y, 40.0f);
        // Pick-ups come in the open, and the pilots' middle of the sky is clear.
        EXPECT_GE(layout.pickupLow.x, layout.openLow.x);
        EXPECT_GE(layout.pickupLow.y, layout.openLow.y);
        EXPECT_LE(layout.pickupHigh.x, layout.openHigh.x);
        EXPECT_LE(layout.pickupHigh.y, layout.openHigh.y);
        EXPECT_LT(layout.pickupLow.x, layout.pickupHigh.x);
        EXPECT_LT(layout.pickupLow.y, layout.pickupHigh.y);
        EXPECT_FALSE(touchesSolid(layout, layout.middle(), 6.0f));
        // The stage shows what collides.
        const std::vector<ArenaBox> drawn = drawnSolids(layout);
        ASSERT_EQ(drawn.size(), s.size());
        for (std::size_t k = 0; k < s.size(); ++k) {
            EXPECT_EQ(glm::vec2(drawn[k].x, drawn[k].y), layout.low(s[k])) << k;
            EXPECT_EQ(glm::vec2(drawn[k].x + drawn[k].width, drawn[k].y + drawn[k].height), layout.high(s[k])) << k;
        }
    }
    EXPECT_EQ(arenaNumber("Canyon"), -1) << "by the word of the rules only";
    EXPECT_EQ(arenaNumber(""), -1);
    EXPECT_EQ(&arenaLayout(-1), &meadow());
    EXPECT_EQ(&arenaLayout(arenaCount), &meadow());
    EXPECT_EQ(&arenaLayout(1), &canyon());
    EXPECT_EQ(&arenaLayout(2), &harbour());
}

TEST(ArenaLayouts, EveryPlaneStartsInTheOpenAwayFromTheOthers)
{
    for (std::int32_t i = 0; i < arenaCount; ++i) {
        const ArenaLayout& layout = arenaLayout(i);
        for (int count = 1; count <= 16; ++count) {
            std::vector<glm::vec2> starts;
            for (int k = 0; k < count; ++k) {
                const glm::vec2 at(spawnPlacement(k, count, layout).position);
                SCOPED_TRACE(layout.name + " " + std::to_string(k) + " of " + std::to_string(count));
                EXPECT_FALSE(touchesSolid(layout, at, 5.9f)) << at.x << ", " << at.y;
                EXPECT_GT(at.x, layout.openLow.x);
                EXPECT_LT(at.x, layout.openHigh.x);
                EXPECT_GT(at.y, layout.openLow.y);
                EXPECT_LT(at.y, layout.openHigh.y);
                for (const glm::vec2& other : starts)
                    EXPECT_GT(glm::length(at - other), count <= 8 ? 15.0f : 4.0f);
                starts.push_back(at);
            }
        }
    }
    // Each arena's circle is about its own spawn centre.
    for (std::int32_t i = 0; i < arenaCount; ++i) {
        glm::vec2 sum(0.0f);
        for (int k = 0; k < 8; ++k)
            sum += glm::vec2(spawnPlacement(k, 8, arenaLayout(i)).position);
        EXPECT_LT(glm::length(sum / 8.0f - arenaLayout(i).spawnCentre), 0.01f) << arenaLayout(i).name;
    }
    // The meadow's circle is the plain one, about the origin, for the players it holds.
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(spawnPlacement(k, 8, meadow()).position, spawnPlacement(k, 8).position);
    EXPECT_EQ(spawnPlacement(3, 8, canyon()).rotation, spawnPlacement(3, 8).rotation);
}

TEST(ArenaLayouts, APlaceInASolidPartIsMovedOutThroughItsNearestFace)
{
    const ArenaLayout& layout = canyon(); // the arch's span: x -28 to 28, y 5 to 18
    EXPECT_EQ(clearOf(layout, glm::vec2(0.0f, 50.0f), 2.0f), glm::vec2(0.0f, 50.0f)) << "in the open already";
    EXPECT_EQ(clearOf(layout, glm::vec2(0.0f, 10.0f), 2.0f), glm::vec2(0.0f, 3.0f)) << "out under the arch";
    EXPECT_EQ(clearOf(layout, glm::vec2(0.0f, 12.0f), 2.0f), glm::vec2(0.0f, 20.0f)) << "out over it";
    EXPECT_EQ(clearOf(layout, glm::vec2(26.0f, 12.0f), 2.0f), glm::vec2(30.0f, 12.0f)) << "out past its end";
    EXPECT_EQ(clearOf(layout, glm::vec2(-26.0f, 12.0f), 2.0f), glm::vec2(-30.0f, 12.0f)) << "out past its other end";
    EXPECT_EQ(clearOf(layout, glm::vec2(-31.0f, -50.0f), 2.0f), glm::vec2(-31.0f, -49.0f)) << "up off the floor";
    // In the corner of the left shelf (x -72 to -58, y 28 to 37) and the wall: out of both.
    const glm::vec2 corner = clearOf(layout, glm::vec2(-71.0f, 27.5f), 2.0f);
    EXPECT_FALSE(touchesSolid(layout, corner, 2.0f)) << corner.x << ", " << corner.y;
    EXPECT_LT(glm::length(corner - glm::vec2(-71.0f, 27.5f)), 5.0f);
    // Deep in a side, or beyond it: into the open space, not out of the world.
    EXPECT_EQ(clearOf(layout, glm::vec2(-100.0f, 60.0f), 2.0f), glm::vec2(-70.0f, 60.0f));
    EXPECT_EQ(clearOf(layout, glm::vec2(0.0f, 500.0f), 2.0f), glm::vec2(0.0f, 103.0f));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(clearOf(layout, glm::vec2(nan, 0.0f), 2.0f), layout.middle());
    EXPECT_EQ(clearOf(layout, glm::vec2(0.0f, std::numeric_limits<float>::infinity()), 2.0f), layout.middle());
}

TEST(ArenaLayouts, ACircleTouchesASolidPartWhenItOverlapsIt)
{
    const ArenaLayout& layout = harbour(); // the lighthouse: x 70 to 83, from the floor to y 27
    EXPECT_TRUE(touchesSolid(layout, glm::vec2(75.0f, 0.0f), 0.0f)) << "inside";
    EXPECT_TRUE(touchesSolid(layout, glm::vec2(70.0f, 0.0f), 0.0f)) << "on its face";
    EXPECT_TRUE(touchesSolid(layout, glm::vec2(67.0f, 0.0f), 3.01f));
    EXPECT_FALSE(touchesSolid(layout, glm::vec2(67.0f, 0.0f), 3.0f)) << "just touching is clear";
    EXPECT_FALSE(touchesSolid(layout, glm::vec2(67.0f, 0.0f), 2.0f));
    // Past a corner the distance is to the corner: the lamp room's top right is (81, 37).
    EXPECT_FALSE(touchesSolid(layout, glm::vec2(84.0f, 41.0f), 4.99f));
    EXPECT_TRUE(touchesSolid(layout, glm::vec2(84.0f, 41.0f), 5.01f));
    EXPECT_FALSE(touchesSolid(layout, glm::vec2(0.0f, 20.0f), 10.0f)) << "the open sky";
}

TEST(ArenaLayouts, TheWayToAPlaceBeyondAnObstacleGoesRoundItsNearerCorner)
{
    const ArenaLayout& layout = canyon(); // the arch's span: x -28 to 28, y 5 to 18
    const glm::vec2 clear(50.0f, 60.0f);
    EXPECT_EQ(wayTo(layout, glm::vec2(-50.0f, 60.0f), clear, 6.0f), clear) << "nothing in the way";
    EXPECT_EQ(wayTo(layout, glm::vec2(-60.0f, -45.0f), glm::vec2(-40.0f, -45.0f), 6.0f), glm::vec2(-40.0f, -45.0f))
        << "the floor is a side, not in the way";
    // Under the span to a place over it: out past the nearer end, under it.
    EXPECT_EQ(wayTo(layout, glm::vec2(-5.0f, -20.0f), glm::vec2(-5.0f, 40.0f), 6.0f), glm::vec2(-36.0f, -3.0f));
    EXPECT_EQ(wayTo(layout, glm::vec2(5.0f, 40.0f), glm::vec2(5.0f, -20.0f), 6.0f), glm::vec2(36.0f, 26.0f));
    // Beside it, a target beyond: round the shorter way.
    EXPECT_EQ(wayTo(layout, glm::vec2(-45.0f, 10.0f), glm::vec2(45.0f, 10.0f), 6.0f), glm::vec2(-36.0f, -3.0f));
    // The first part after the sides is in the way like any other: the left shelf (x -72 to -58, y 28 to 37).
    EXPECT_NE(wayTo(layout, glm::vec2(-65.0f, 20.0f), glm::vec2(-65.0f, 45.0f), 6.0f), glm::vec2(-65.0f, 45.0f));
    // A line that passes a part by less than the room given is in its way.
    EXPECT_NE(wayTo(layout, glm::vec2(-45.0f, 22.0f), glm::vec2(45.0f, 22.0f), 6.0f), glm::vec2(45.0f, 22.0f));
    EXPECT_EQ(wayTo(layout, glm::vec2(-45.0f, 25.0f), glm::vec2(45.0f, 25.0f), 6.0f), glm::vec2(45.0f, 25.0f));

    // Beside the lighthouse, a target beyond its lamp room: up this side, not
    // to the corner beyond it.
    const ArenaLayout& port = harbour();
    EXPECT_EQ(wayTo(port, glm::vec2(60.0f, 16.0f), glm::vec2(92.0f, 35.0f), 6.0f), glm::vec2(62.0f, 35.0f));
    // Under the crane's jib to the sky over it: out from under the jib, and
    // first round the container on the way.
    EXPECT_EQ(wayTo(port, glm::vec2(-100.0f, 15.0f), glm::vec2(-100.0f, 50.0f), 6.0f), glm::vec2(-92.0f, 21.0f));
    // Across the harbour past the container and the lighthouse: round the one met first.
    EXPECT_EQ(wayTo(port, glm::vec2(-100.0f, 8.0f), glm::vec2(100.0f, 8.0f), 6.0f), glm::vec2(-92.0f, -4.0f));
}
