// A peer's projectile appears where its shooter has it by now, and a plane
// it passed on the way still meets it.
#include "game/weapons/ProjectileLead.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using skyscuffle::ProjectileLead;

TEST(ProjectileLead, AProjectileIsCarriedAlongItsFlightByTheDelay)
{
    const ProjectileLead lead = ProjectileLead::along({1, 2, 3}, {100, -50}, 0.1f, 0.25f, {});
    EXPECT_NEAR(lead.position.x, 11.0f, 1e-4f);
    EXPECT_NEAR(lead.position.y, -3.0f, 1e-4f);
    EXPECT_FLOAT_EQ(lead.position.z, 3.0f); // the play plane's depth is kept
    EXPECT_FLOAT_EQ(lead.seconds, 0.1f);
}

TEST(ProjectileLead, NeverFurtherThanTheBoundAndNeverBack)
{
    const ProjectileLead far = ProjectileLead::along({0, 0, 0}, {100, 0}, 0.4f, 0.25f, {});
    EXPECT_FLOAT_EQ(far.seconds, ProjectileLead::maxLead);
    EXPECT_NEAR(far.position.x, 100.0f * ProjectileLead::maxLead, 1e-4f);
    for (float delay : {-0.1f, 0.0f, std::numeric_limits<float>::quiet_NaN()}) {
        const ProjectileLead none = ProjectileLead::along({5, 5, 0}, {100, 0}, delay, 0.25f, {});
        EXPECT_EQ(none.position, glm::vec3(5, 5, 0)) << delay;
        EXPECT_FLOAT_EQ(none.seconds, 0.0f) << delay;
    }
    // Standing still, it stays.
    EXPECT_EQ(ProjectileLead::along({5, 5, 0}, {0, 0}, 0.1f, 0.25f, {}).position, glm::vec3(5, 5, 0));
}

TEST(ProjectileLead, APlaneOnTheWayStopsItWhereItIsNearest)
{
    // A plane (radius 2) one unit off the line, halfway along.
    const ProjectileLead met = ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {{{5, 1}, 2.0f}});
    EXPECT_NEAR(met.position.x, 5.0f, 1e-4f);
    EXPECT_NEAR(met.position.y, 0.0f, 1e-4f);
    EXPECT_NEAR(met.seconds, 0.05f, 1e-5f);
    // The projectile's own radius counts: 2.2 off reaches a plane of 2 with a shot of 0.25.
    EXPECT_NEAR(ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {{{5, 2.2f}, 2.0f}}).position.x, 5.0f, 1e-4f);
    // Out of reach, behind or beyond the way: it flies on.
    for (const ProjectileLead::Target& away :
         {ProjectileLead::Target{{5, 2.3f}, 2.0f}, ProjectileLead::Target{{-5, 0}, 2.0f},
          ProjectileLead::Target{{15, 0}, 2.0f}}) {
        EXPECT_NEAR(ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {away}).position.x, 10.0f, 1e-4f)
            << away.centre.x << "," << away.centre.y;
    }
    // Of two on the way, the first.
    const ProjectileLead first =
        ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {{{8, 0}, 1.0f}, {{3, 0}, 1.0f}});
    EXPECT_NEAR(first.position.x, 3.0f, 1e-4f);
    EXPECT_NEAR(first.seconds, 0.03f, 1e-5f);
    // One the projectile starts in: it stays where it starts.
    const ProjectileLead inside = ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {{{-1, 0}, 2.0f}});
    EXPECT_EQ(inside.position, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(inside.seconds, 0.0f);
}

} // namespace
