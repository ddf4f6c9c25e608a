// A plane's dash seen from another copy of the game, which knows of it only
// the replicated state (30 records a second) and the named calls: it flies
// the dash, its end and a death in the middle of it as the owner's copy does.
#include "game/match/PlayerSpawnComp.h"
#include "game/powerups/InvincibilityPower.h"

#include "engine/physics/Body.h"
#include "support/LinkedCopies.h"

#include <gtest/gtest.h>

#include <glm/geometric.hpp>

#include <string>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

bool trailing(const PlaneRig& plane)
{
    return plane.entity.world->getComponent(plane.entity.id, kit::tagId("dashEmitter")) != nullptr;
}

// Whether a plane shows no dash at all: not dashing, no trail, its normal mass.
testing::AssertionResult noDash(const PlaneRig& plane, const char* copy)
{
    if (plane.physics->isDashing || trailing(plane) || plane.body->mass != 1.0f)
        return testing::AssertionFailure() << copy << ": dashing " << plane.physics->isDashing << ", trail "
                                           << trailing(plane) << ", mass " << plane.body->mass;
    return testing::AssertionSuccess();
}

} // namespace

TEST(DashAcrossCopies, TheOtherCopyFliesTheDashAndItsEndAsTheOwnerDoes)
{
    test::LinkedCopies link;
    auto [mine, seen] = link.plane(glm::vec3(-60, 0, 0));
    mine.body->velocity = glm::vec3(60, 0, 0);
    mine.gamepad->stick = glm::vec2(0.6f, 0.5f); // climbing away: the dash goes along the stick
    link.frames(8);
    mine.gamepad->held[0] = true;
    link.frame();
    mine.gamepad->held[0] = false;
    ASSERT_TRUE(mine.physics->isDashing);

    // From the first record of the dash on, the other copy's plane is where
    // the owner's is, as fast, through the end of the dash and beyond.
    int shown = 0, compared = 0;
    float slowest = 1e9f, furthest = 0.0f, fastest = 0.0f;
    std::string differences;       // the first frame where they differ, if any
    for (int i = 0; i < 90; ++i) { // 0.75 s: the dash is a third of it
        link.frame();
        shown += seen.physics->isDashing;
        if (shown == 0)
            continue;
        ++compared;
        slowest = std::min(slowest, glm::length(seen.body->velocity));
        furthest = std::max(furthest, glm::length(seen.transform->position - mine.transform->position));
        fastest = std::max(fastest, glm::length(seen.body->velocity - mine.body->velocity));
        if (differences.empty() && (seen.body->mass != mine.body->mass || trailing(seen) != trailing(mine)))
            differences = "frame " + std::to_string(i) + ": mass " + std::to_string(seen.body->mass) + " for " +
                          std::to_string(mine.body->mass) + ", trail " + std::to_string(trailing(seen));
    }
    EXPECT_LT(fastest, 1e-2f) << "the largest difference of velocity";
    EXPECT_LT(furthest, 1e-2f) << "the largest difference of position";
    EXPECT_EQ(differences, "");
    EXPECT_GT(compared, 80);
    EXPECT_GT(shown, 25); // the whole dash, not a glimpse of it
    EXPECT_GT(slowest, 40.0f) << "the other copy's plane stopped dead";
    EXPECT_TRUE(noDash(seen, "other copy"));
    EXPECT_TRUE(noDash(mine, "owner"));
}

TEST(DashAcrossCopies, APlaneKilledMidDashEndsItsDashEverywhereAndRespawnsWithoutIt)
{
    test::LinkedCopies link;
    auto [mine, seen] = link.plane(glm::vec3(-100, 40, 0));
    for (PlaneRig* p : {&mine, &seen})
        p->entity.world->addComponent(p->entity, new PlayerSpawnComp(glm::vec2(0.0f), 0.0f, 2.0f));
    // Another copy's plane waits where the wreck will respawn.
    auto [bystander, bystanderSeen] = link.otherPlane(glm::vec3(0, 0, 0));
    mine.body->velocity = glm::vec3(60, 0, 0);
    link.frames(8);
    mine.gamepad->held[0] = true;
    link.frames(13); // 0.1 s into the dash, and seen on both copies
    mine.gamepad->held[0] = false;
    ASSERT_TRUE(mine.physics->isDashing);
    ASSERT_TRUE(seen.physics->isDashing);
    ASSERT_EQ(seen.body->mass, 10.0f);

    // The next record comes three frames after the death: by then the owner's
    // copy has switched the wreck's flight off, and the other copy never runs
    // a frame of the wreck's flight.
    ASSERT_EQ(link.frameCount % link.framesPerRecord, 1);
    mine.health->damage(bystander.entity, 20.0f);
    link.frames(8); // the death reaches the other copy with the next record
    // The wreck falls with no dash left on either copy, for its two seconds.
    int wreckFrames = 0, dashingFrames = 0;
    testing::AssertionResult firstDash = testing::AssertionSuccess();
    while (mine.health->isDead() && wreckFrames < 400) {
        for (auto result : {noDash(mine, "owner"), noDash(seen, "other copy")}) {
            if (!result && dashingFrames++ == 0)
                firstDash = result << " (wreck frame " << wreckFrames << ")";
        }
        link.frame();
        ++wreckFrames;
    }
    EXPECT_TRUE(firstDash) << dashingFrames << " times a dash in the wreck";
    ASSERT_FALSE(mine.health->isDead()) << "never respawned";
    EXPECT_GT(wreckFrames, 200);

    // Respawned on top of the bystander: nothing of the old dash comes back,
    // so nobody is rammed, on either copy.
    dashingFrames = 0;
    for (int i = 0; i < 60; ++i) {
        link.frame();
        for (auto result : {noDash(mine, "owner"), noDash(seen, "other copy")}) {
            if (!result && dashingFrames++ == 0)
                firstDash = result << " (frame " << i << " after the respawn)";
        }
    }
    EXPECT_TRUE(firstDash) << dashingFrames << " times a dash after the respawn";
    EXPECT_TRUE(mine.physics->ramHistory.empty());
    EXPECT_TRUE(seen.physics->ramHistory.empty());
    EXPECT_FALSE(seen.health->isDead());
    EXPECT_NE(seen.entity.world->getComponent<InvincibilityPower>(seen.entity.id), nullptr);
    EXPECT_EQ(bystander.health->currentHealth, 10.0f);
    EXPECT_EQ(bystanderSeen.health->currentHealth, 10.0f);
    EXPECT_EQ(link.console.str().find("Ram!!!"), std::string::npos);
}

// The record that says the flight is off (the owner's copy made the plane a
// wreck) may come before the call that kills it, or without it: the dash
// ends with the record alone.
TEST(DashAcrossCopies, AFlightSwitchedOffMidDashEndsTheDashOnTheOtherCopy)
{
    test::LinkedCopies link;
    auto [mine, seen] = link.plane(glm::vec3(-100, 40, 0));
    mine.body->velocity = glm::vec3(60, 0, 0);
    link.frames(8);
    mine.gamepad->held[0] = true;
    link.frames(13);
    ASSERT_TRUE(seen.physics->isDashing);
    mine.physics->enabled = false; // no death: only the records tell of it
    link.frames(link.framesPerRecord + 1);
    ASSERT_FALSE(seen.physics->enabled) << "the record never came";
    EXPECT_FALSE(seen.health->isDead());
    // (Its mass is the owner's body's, which this test leaves mid-dash.)
    EXPECT_FALSE(seen.physics->isDashing);
    EXPECT_FALSE(trailing(seen));
}

TEST(DashAcrossCopies, ALateRecordOfADashThatEndedDoesNotStartItAgain)
{
    test::LinkedCopies link;
    link.framesPerRecord = 1000; // the records go only where the test says
    auto [mine, seen] = link.plane(glm::vec3(0, 0, 0));
    mine.body->velocity = glm::vec3(60, 0, 0);
    mine.gamepad->held[0] = true;
    link.frame();
    mine.gamepad->held[0] = false;
    link.frames(24); // 0.2 s of the 0.25 s dash
    test::LinkedCopies::sendState(link.owner, link.other);
    kit::NetStream late; // the owner's record a frame later, held up on the way
    link.frame();
    mine.physics->serialize(late);
    link.frames(10); // the dash ends here as on the owner's copy
    ASSERT_FALSE(seen.physics->isDashing);
    const unsigned dashes = seen.physics->dashCount;
    late.writing = false;
    seen.physics->serialize(late);
    link.frames(4);
    EXPECT_TRUE(noDash(seen, "other copy"));
    EXPECT_EQ(seen.physics->dashCount, dashes);

    // A record of a new dash starts it there, however late it comes.
    link.frames(240); // the cooldown
    mine.gamepad->held[0] = true;
    link.frame();
    mine.gamepad->held[0] = false;
    link.frames(5);
    test::LinkedCopies::sendState(link.owner, link.other);
    link.frame();
    EXPECT_TRUE(seen.physics->isDashing);
    EXPECT_EQ(seen.physics->dashCount, dashes + 1);
    EXPECT_EQ(seen.physics->speedBeforeDash, mine.physics->speedBeforeDash);
}
