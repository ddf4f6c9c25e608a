// Another copy's entity between its owner's records: carried forward by the
// record's age, corrections blended in, teleports taken at once.
#include "engine/physics/GlideCorrection.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Pose = kit::GlideCorrection::Pose;
using Record = kit::GlideCorrection::Record;

constexpr float frame = 1.0f / 60.0f;

// The blend's speed out of the way and every correction blended, unless a
// test is about them.
kit::GlideSettings plain()
{
    kit::GlideSettings settings;
    settings.maxCorrectionSpeed = 1e6f;
    settings.blendFrom = 0.0f;
    return settings;
}

Record at(glm::vec3 position, glm::vec3 velocity = glm::vec3(0.0f), std::optional<double> stamp = std::nullopt,
          double arrival = 0.0, float delay = 0.0f)
{
    Record r;
    r.pose.position = position;
    r.velocity = velocity;
    r.stamp = stamp;
    r.arrival = arrival;
    r.delay = delay;
    return r;
}

// Takes a record, then runs `frames` frames; returns the last pose.
Pose glideFor(kit::GlideCorrection& glide, Pose shown, int frames)
{
    for (int i = 0; i < frames; ++i)
        shown = glide.step(shown, frame);
    return shown;
}

TEST(GlideCorrection, TheFirstRecordIsTakenCarriedForwardByItsDelay)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    const auto shown = glide.receive(Pose{}, at({10, 5, 0}, {20, 0, 0}, std::nullopt, 0.0, 0.1f), velocity);
    ASSERT_TRUE(shown);
    EXPECT_NEAR(shown->position.x, 12.0f, 1e-4f);
    EXPECT_NEAR(shown->position.y, 5.0f, 1e-4f);
    EXPECT_EQ(glide.snaps(), 1u);
    EXPECT_FLOAT_EQ(glide.lastAge(), 0.1f);
    EXPECT_EQ(glide.pendingOffset(), glm::vec3(0.0f));
}

TEST(GlideCorrection, TheDefaultsAgeARecordByTheLinkAlone)
{
    kit::GlideCorrection glide;
    glm::vec3 velocity{};
    const auto shown = glide.receive(Pose{}, at({0, 0, 0}, {100, 0, 0}, std::nullopt, 0.0, 0.05f), velocity);
    EXPECT_FLOAT_EQ(glide.lastAge(), 0.05f);
    EXPECT_NEAR(shown->position.x, 5.0f, 1e-4f);
    EXPECT_FLOAT_EQ(kit::GlideSettings{}.seconds, 0.07f);
    EXPECT_FLOAT_EQ(kit::GlideSettings{}.maxAge, 0.3f);
    EXPECT_FLOAT_EQ(kit::GlideSettings{}.blendFrom, 1.0f);
    EXPECT_FLOAT_EQ(kit::GlideSettings{}.maxCorrectionSpeed, 200.0f);
    EXPECT_FLOAT_EQ(kit::GlideSettings{}.snapDistance, 30.0f);
}

TEST(GlideCorrection, ACloseRecordIsBlendedInNotJumpedTo)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    const Pose shown{{0, 0, 0}};
    const auto now = glide.receive(shown, at({3, -4, 0}), velocity);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->position, shown.position); // nothing jumps
    EXPECT_EQ(glide.pendingOffset(), glm::vec3(3, -4, 0));
    EXPECT_EQ(glide.snaps(), 1u);
    // One frame takes a share (1 - e^(-dt/seconds) of 5 units), not all of it.
    const Pose first = glide.step(shown, frame);
    EXPECT_NEAR(glm::length(first.position), 5.0f * (1.0f - std::exp(-frame / plain().seconds)), 1e-4f);
    // What it takes and what is left add up to the offset.
    EXPECT_NEAR(glm::length(first.position + glide.pendingOffset() - glm::vec3(3, -4, 0)), 0.0f, 1e-5f);
    // Within a second it is there.
    const Pose later = glideFor(glide, first, 60);
    EXPECT_NEAR(later.position.x, 3.0f, 1e-3f);
    EXPECT_NEAR(later.position.y, -4.0f, 1e-3f);
}

TEST(GlideCorrection, ANewRecordReplacesWhatIsStillPending)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    glide.receive(Pose{}, at({4, 0, 0}), velocity);
    const Pose half = glideFor(glide, Pose{}, 3);
    glide.receive(half, at({1, 1, 0}), velocity);
    EXPECT_NEAR(glm::length(glide.pendingOffset() - (glm::vec3(1, 1, 0) - half.position)), 0.0f, 1e-5f);
}

TEST(GlideCorrection, TheBlendIsNeverFasterThanItsSpeed)
{
    kit::GlideSettings settings = plain();
    settings.maxCorrectionSpeed = 60.0f;
    kit::GlideCorrection glide(settings);
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    // A dash seen late: 25 units off, under the snap distance.
    glide.receive(Pose{}, at({25, 0, 0}), velocity);
    Pose shown{};
    float before = 0.0f;
    for (int i = 0; i < 40; ++i) {
        shown = glide.step(shown, frame);
        EXPECT_LE(shown.position.x - before, 60.0f * frame + 1e-4f);
        before = shown.position.x;
    }
    // At 60 a second, 40 frames go 40 units' worth: all of the 25 is taken
    // once the exponential tail is under the cap.
    EXPECT_GT(shown.position.x, 24.0f);
    // The first frames run at the cap exactly: the cap binds, not the share.
    kit::GlideCorrection capped(settings);
    capped.receive(Pose{}, at({0, 0, 0}), velocity);
    capped.receive(Pose{}, at({25, 0, 0}), velocity);
    EXPECT_NEAR(capped.step(Pose{}, frame).position.x, 1.0f, 1e-4f);
}

TEST(GlideCorrection, ASmallCorrectionIsTakenAtOnceUnlessItTurns)
{
    kit::GlideSettings settings = plain();
    settings.blendFrom = 1.0f;
    kit::GlideCorrection glide(settings);
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    // Just under the bound: there at once.
    const auto near = glide.receive(Pose{}, at({0.99f, 0, 0}), velocity);
    EXPECT_EQ(near->position, glm::vec3(0.99f, 0, 0));
    EXPECT_EQ(glide.pendingOffset(), glm::vec3(0.0f));
    EXPECT_EQ(glide.snaps(), 1u); // not counted as a snap
    // At the bound: a glide.
    const auto edge = glide.receive(*near, at({1.99f, 0, 0}), velocity);
    EXPECT_EQ(edge->position, near->position);
    EXPECT_NEAR(glide.pendingOffset().x, 1.0f, 1e-5f);
    // No distance but a turn of ten degrees: a glide too.
    Record turned = at({1.99f, 0, 0});
    turned.pose.rotation = glm::angleAxis(0.17f, glm::vec3(0, 0, 1));
    const Pose there{{1.99f, 0, 0}};
    const auto turning = glide.receive(there, turned, velocity);
    EXPECT_EQ(turning->rotation, there.rotation);
    EXPECT_NEAR(glm::angle(glide.pendingTurn()), 0.17f, 1e-4f);
    // A turn of two degrees with it is taken at once.
    Record slight = at({2.0f, 0, 0});
    slight.pose.rotation = glm::angleAxis(0.035f, glm::vec3(0, 0, 1));
    const auto small = glide.receive(there, slight, velocity);
    EXPECT_NEAR(glm::angle(small->rotation), 0.035f, 1e-4f);
    EXPECT_NEAR(glm::angle(glide.pendingTurn()), 0.0f, 1e-4f);
}

TEST(GlideCorrection, ATeleportIsTakenAtOnce)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    glide.receive(Pose{}, at({5, 0, 0}), velocity);
    // A respawn across the arena: farther than the snap distance (30).
    const auto now = glide.receive(Pose{}, at({-60, 20, 0}), velocity);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->position, glm::vec3(-60, 20, 0));
    EXPECT_EQ(glide.pendingOffset(), glm::vec3(0.0f)); // the old correction is gone too
    EXPECT_EQ(glide.snaps(), 2u);
    // Exactly at the snap distance it still glides.
    const auto edge = glide.receive(*now, at({-30, 20, 0}), velocity);
    EXPECT_EQ(edge->position, now->position);
    EXPECT_EQ(glide.snaps(), 2u);
}

TEST(GlideCorrection, ARecordOutOfOrderIsIgnoredAndAClockStepIsNot)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}, {}, 10.0, 10.2), velocity);
    glide.receive(Pose{}, at({1, 0, 0}, {}, 10.1, 10.3), velocity);
    // Older than the last taken, and the same again: ignored, pending kept.
    const glm::vec3 pending = glide.pendingOffset();
    velocity = glm::vec3(7.0f);
    EXPECT_FALSE(glide.receive(Pose{}, at({9, 0, 0}, {1, 0, 0}, 10.05, 10.35), velocity));
    EXPECT_FALSE(glide.receive(Pose{}, at({9, 0, 0}, {1, 0, 0}, 10.1, 10.35), velocity));
    EXPECT_EQ(glide.pendingOffset(), pending);
    EXPECT_EQ(velocity, glm::vec3(7.0f)); // untouched
    // The owner's clock started again (a new session): taken.
    EXPECT_TRUE(glide.receive(Pose{}, at({2, 0, 0}, {}, 0.5, 10.4), velocity));
    EXPECT_EQ(glide.pendingOffset(), glm::vec3(2, 0, 0));
}

TEST(GlideCorrection, ALateRecordIsOlderByHowLateItCame)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    // Records every 1/15 s that take the usual time: their age is the delay.
    for (int i = 0; i < 20; ++i)
        glide.receive(Pose{}, at({0, 0, 0}, {}, i / 15.0, 100.0 + i / 15.0, 0.05f), velocity);
    EXPECT_NEAR(glide.lastAge(), 0.05f, 1e-4f);
    // One held up 40 ms more than the others: 40 ms older.
    glide.receive(Pose{}, at({0, 0, 0}, {}, 20 / 15.0, 100.04 + 20 / 15.0, 0.05f), velocity);
    EXPECT_NEAR(glide.lastAge(), 0.09f, 2e-3f);
    // And one that came 30 ms early is younger.
    glide.receive(Pose{}, at({0, 0, 0}, {}, 21 / 15.0, 100.0 - 0.03 + 21 / 15.0, 0.05f), velocity);
    EXPECT_LT(glide.lastAge(), 0.03f);
    // Never beyond the bound, never below nothing.
    glide.receive(Pose{}, at({0, 0, 0}, {}, 22 / 15.0, 100.9 + 22 / 15.0, 0.05f), velocity);
    EXPECT_FLOAT_EQ(glide.lastAge(), plain().maxAge);
    glide.receive(Pose{}, at({0, 0, 0}, {}, 23 / 15.0, 100.0 + 23 / 15.0, -5.0f), velocity);
    EXPECT_FLOAT_EQ(glide.lastAge(), 0.0f);
}

TEST(GlideCorrection, AClockThatStepsStartsTheUsualGapAfresh)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    for (int i = 0; i < 10; ++i)
        glide.receive(Pose{}, at({0, 0, 0}, {}, i / 15.0, 50.0 + i / 15.0, 0.08f), velocity);
    // This copy's clock jumps five seconds ahead: no record is five seconds late.
    glide.receive(Pose{}, at({0, 0, 0}, {}, 10 / 15.0, 55.0 + 10 / 15.0, 0.08f), velocity);
    EXPECT_NEAR(glide.lastAge(), 0.08f, 1e-4f);
    glide.receive(Pose{}, at({0, 0, 0}, {}, 11 / 15.0, 55.0 + 11 / 15.0, 0.08f), velocity);
    EXPECT_NEAR(glide.lastAge(), 0.08f, 1e-4f);
}

TEST(GlideCorrection, ALossBurstGlidesAndALongOneSnaps)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}, {30, 0, 0}), velocity);
    // Half a second without records: this copy flew straight on, the owner
    // turned: 12 units off, a glide.
    Pose shown{{15, 0, 0}};
    ASSERT_TRUE(glide.receive(shown, at({12, 12, 0}, {0, 30, 0}, 0.5, 0.5), velocity));
    EXPECT_EQ(glide.snaps(), 1u);
    EXPECT_EQ(velocity, glm::vec3(0, 30, 0)); // it flies on at the record's velocity
    // Two seconds without: far away, taken at once.
    shown = Pose{{60, 0, 0}};
    const auto now = glide.receive(shown, at({12, 40, 0}, {0, 30, 0}, 2.5, 2.5), velocity);
    EXPECT_EQ(now->position, glm::vec3(12, 40, 0));
    EXPECT_EQ(glide.snaps(), 2u);
}

TEST(GlideCorrection, TheTurnIsBlendedTheShortWayRound)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    Record turned = at({0, 0, 0});
    turned.pose.rotation = glm::angleAxis(0.5f, glm::vec3(0, 0, 1));
    const auto now = glide.receive(Pose{}, turned, velocity);
    EXPECT_EQ(now->rotation, glm::quat(1, 0, 0, 0)); // not turned yet
    const Pose one = glide.step(*now, frame);
    const float share = 1.0f - std::exp(-frame / plain().seconds);
    EXPECT_NEAR(glm::angle(one.rotation), 0.5f * share, 1e-3f);
    const Pose later = glideFor(glide, one, 120);
    EXPECT_NEAR(glm::angle(later.rotation), 0.5f, 1e-3f);
    EXPECT_NEAR(glm::axis(later.rotation).z, 1.0f, 1e-3f);
}

TEST(GlideCorrection, AFrameOfNoTimeOrNonsenseTakesNothingAndALongOneTakesAll)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    glide.receive(Pose{}, at({0, 0, 0}), velocity);
    glide.receive(Pose{}, at({2, 0, 0}), velocity);
    for (float dt : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        const Pose same = glide.step(Pose{}, dt);
        if (std::isinf(dt))
            continue;
        EXPECT_EQ(same.position, glm::vec3(0.0f)) << dt;
        EXPECT_EQ(glide.pendingOffset(), glm::vec3(2, 0, 0)) << dt;
    }
    // A stall of five seconds: the whole correction at once, nothing beyond.
    kit::GlideCorrection stalled(plain());
    stalled.receive(Pose{}, at({0, 0, 0}), velocity);
    stalled.receive(Pose{}, at({2, 0, 0}), velocity);
    EXPECT_NEAR(stalled.step(Pose{}, 5.0f).position.x, 2.0f, 1e-5f);
    EXPECT_NEAR(glm::length(stalled.pendingOffset()), 0.0f, 1e-5f);
}

TEST(GlideCorrection, TheCarryDecidesWhereARecordIsByNow)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    float carried = -1.0f;
    const kit::GlideCorrection::Carry climb = [&](Pose& pose, glm::vec3& v, float seconds) {
        carried = seconds;
        pose.position.y += 100.0f * seconds;
        v = glm::vec3(0, 100, 0);
    };
    const auto now = glide.receive(Pose{}, at({0, 0, 0}, {5, 0, 0}, std::nullopt, 0.0, 0.1f), velocity, climb);
    EXPECT_FLOAT_EQ(carried, 0.1f);
    EXPECT_NEAR(now->position.y, 10.0f, 1e-4f);
    EXPECT_EQ(velocity, glm::vec3(0, 100, 0));
    // A record of no age is not carried at all.
    carried = -1.0f;
    glide.receive(*now, at({0, 10, 0}), velocity, climb);
    EXPECT_FLOAT_EQ(carried, -1.0f);
    // A carry that goes wrong leaves the record where it was, standing still.
    const kit::GlideCorrection::Carry broken = [](Pose& pose, glm::vec3& v, float) {
        pose.position.x = std::numeric_limits<float>::infinity();
        v = glm::vec3(1.0f);
    };
    kit::GlideCorrection other(plain());
    const auto kept = other.receive(Pose{}, at({3, 4, 0}, {1, 1, 0}, std::nullopt, 0.0, 0.1f), velocity, broken);
    EXPECT_EQ(kept->position, glm::vec3(3, 4, 0));
    EXPECT_EQ(velocity, glm::vec3(0.0f));
}

TEST(GlideCorrection, ABrokenRecordVelocityCarriesNothing)
{
    kit::GlideCorrection glide(plain());
    glm::vec3 velocity{};
    const auto now = glide.receive(
        Pose{}, at({1, 2, 0}, {std::numeric_limits<float>::quiet_NaN(), 0, 0}, std::nullopt, 0.0, 0.1f), velocity);
    EXPECT_EQ(now->position, glm::vec3(1, 2, 0));
    EXPECT_EQ(velocity, glm::vec3(0.0f));
}

} // namespace
