// A computer pilot's tree as a whole: the order of its choices (attack,
// fetch health, flee, fetch any pick-up) and how often it decides.
#include "PilotFixture.h"

#include "game/ai/PilotSkill.h"
#include "game/ai/PlaneDecisionTree.h"
#include "game/common/ArenaLayout.h"

#include "engine/physics/Body.h"

#include "engine/core/SettingsEntry.h"

using test::Pilots;

TEST_F(Pilots, WithNobodyAndNothingAroundThePilotHoldsTheMiddleOfTheSky)
{
    // Near the middle (0, 15): it circles it, across the line to the middle.
    auto p = pilot(glm::vec3(0));
    think(p);
    EXPECT_NEAR(glm::length(p.ai->stick), 1.0f, 1e-5f);
    EXPECT_NEAR(p.ai->stick.x, 1.0f, 1e-5f) << "at right angles to the middle, which is straight above";
    EXPECT_FALSE(p.ai->buttons[0] || p.ai->buttons[1] || p.ai->buttons[2]) << "nothing to shoot at";
    // Far off, clear of the walls: it heads for the middle.
    world->getComponent<kit::Transform>(p.plane.entity.id)->position = glm::vec3(-60.0f, 50.0f, 0.0f);
    think(p);
    const glm::vec2 toMiddle = glm::normalize(glm::vec2(60.0f, -35.0f));
    EXPECT_NEAR(p.ai->stick.x, toMiddle.x, 1e-4f);
    EXPECT_NEAR(p.ai->stick.y, toMiddle.y, 1e-4f);
    // Just inside the circle: around, not in.
    world->getComponent<kit::Transform>(p.plane.entity.id)->position = glm::vec3(29.0f, 15.0f, 0.0f);
    think(p);
    EXPECT_NEAR(p.ai->stick.y, 1.0f, 1e-5f);
}

TEST_F(Pilots, AWoundedPilotHeadsForTheNearestHealth)
{
    auto p = pilot(glm::vec3(0));
    enemy(glm::vec3(20, 0, 0));
    p.plane.health->currentHealth = 2.0f; // at the limit: not aggressive
    pickUp(glm::vec3(0, 40, 0), "healthPickUpItem");
    pickUp(glm::vec3(-10, -10, 0), "healthPickUpItem");
    pickUp(glm::vec3(5, 0, 0), "gunPickUpItem"); // nearer, but not health
    think(p);
    EXPECT_NEAR(p.ai->stick.x, -0.7071f, 1e-3f);
    EXPECT_NEAR(p.ai->stick.y, -0.7071f, 1e-3f);
    EXPECT_FALSE(p.ai->buttons[1]);
}

TEST_F(Pilots, AWoundedPilotFleesACloseAttackerAndFightsAFarOne)
{
    auto p = pilot(glm::vec3(0));
    auto attacker = enemy(glm::vec3(20, 0, 0));
    p.plane.health->damage(attacker.entity, 8.0f); // 2 left, no health pick-up around
    think(p);
    EXPECT_EQ(p.ai->threat.id, attacker.entity.id);
    EXPECT_LT(p.ai->stick.x, -0.99f);                   // straight away from it
    EXPECT_TRUE(p.ai->buttons[0]);                      // dashing away
    attacker.transform->position = glm::vec3(60, 0, 0); // beyond the threat range
    think(p);
    EXPECT_EQ(p.ai->target.id, attacker.entity.id); // then it attacks
    EXPECT_GT(p.ai->stick.x, 0.0f);
}

TEST_F(Pilots, ACautiousPilotTurnsAwaySoonerThanABoldOne)
{
    auto p = pilot(glm::vec3(0));
    auto attacker = enemy(glm::vec3(20, 0, 0));
    p.plane.health->damage(attacker.entity, 5.5f); // 4.5 left: over the bold threshold, under the cautious one
    think(p);
    EXPECT_EQ(p.ai->target.id, attacker.entity.id) << "a bold pilot fights on";
    EXPECT_GT(p.ai->stick.x, 0.0f);
    p.ai->cautious = true;
    p.ai->target = {};
    think(p);
    EXPECT_EQ(p.ai->threat.id, attacker.entity.id);
    EXPECT_LT(p.ai->stick.x, -0.99f) << "a cautious one flees";
    p.plane.health->currentHealth = 5.0f; // at the threshold: still cautious
    p.ai->threat = {};
    think(p);
    EXPECT_EQ(p.ai->threat.id, attacker.entity.id);
    p.plane.health->currentHealth = 5.5f;
    p.ai->threat = {};
    think(p);
    EXPECT_TRUE(p.ai->threat.empty()) << "over the threshold: it attacks";
    EXPECT_GT(p.ai->stick.x, 0.0f);
}

TEST_F(Pilots, AWreckIsNeitherChosenNorChasedAndWithNobodyLeftThePilotFetchesAPickUp)
{
    auto p = pilot(glm::vec3(0));
    auto first = enemy(glm::vec3(20, 0, 0));
    think(p);
    ASSERT_EQ(p.ai->target.id, first.entity.id);
    EXPECT_TRUE(p.ai->buttons[1]); // on the nose: firing

    first.health->damage(first.entity, 100.0f); // burning now
    ASSERT_TRUE(first.health->isDead());
    pickUp(glm::vec3(30, 0, 0), "gunPickUpItem");
    pickUp(glm::vec3(-5, 5, 0), "speedPickUpItem"); // the nearest
    think(p);
    EXPECT_NEAR(p.ai->stick.x, -0.7071f, 1e-3f);
    EXPECT_NEAR(p.ai->stick.y, 0.7071f, 1e-3f);
    EXPECT_FALSE(p.ai->buttons[0] || p.ai->buttons[1] || p.ai->buttons[2]) << "nothing fired at the sky";

    auto second = enemy(glm::vec3(-40, 0, 0)); // someone alive again: the pilot attacks it
    think(p);
    EXPECT_EQ(p.ai->target.id, second.entity.id);
    EXPECT_LT(p.ai->stick.x, 0.0f);
}

TEST_F(Pilots, AnEasyPilotHoldsItsLastDecisionForItsReactionTime)
{
    kit::settings::set("tuning.ai.steeringAccuracy", "0"); // no aim error
    kit::SettingsEntryBase::refreshAll();
    auto p = pilot(glm::vec3(0));
    p.ai->strength = PilotStrength::easy;
    auto target = enemy(glm::vec3(0, 20, 0)); // straight above
    auto* tree = world->getComponent<PlaneDecisionTree>(p.plane.entity.id);
    tree->update(1.0f);
    const glm::vec2 first = p.ai->stick;
    ASSERT_GT(first.y, 0.0f);
    target.transform->position = glm::vec3(0, -20, 0); // now below
    const float reaction = skillOf(PilotStrength::easy).reactionSeconds;
    ASSERT_GT(reaction, 0.1f);
    tree->update(reaction * 0.5f);
    EXPECT_EQ(p.ai->stick, first) << "too soon to react";
    tree->update(reaction * 0.6f);
    EXPECT_LT(p.ai->stick.y, 0.0f) << "after its reaction time the pilot turns to the target below";
    // A normal pilot turns in the same frame.
    p.ai->strength = PilotStrength::normal;
    target.transform->position = glm::vec3(0, 20, 0);
    tree->update(1.0f / 120.0f);
    EXPECT_GT(p.ai->stick.y, 0.0f);
    kit::settings::set("tuning.ai.steeringAccuracy", "70");
    kit::SettingsEntryBase::refreshAll();
}

TEST_F(Pilots, WhateverItDoesThePilotKeepsClearOfTheArenasSides)
{
    auto p = pilot(glm::vec3(0));
    auto* body = world->getComponent<kit::Body>(p.plane.entity.id);
    auto* place = world->getComponent<kit::Transform>(p.plane.entity.id);
    body->velocity = glm::vec3(0.0f);
    // In the open, the stick is the action's.
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f, -1.0f)), glm::vec2(0.0f, -1.0f));
    // Diving at the floor: pulled up.
    place->position = glm::vec3(0.0f, -40.0f, 0.0f);
    body->velocity = glm::vec3(0.0f, -20.0f, 0.0f);
    const glm::vec2 low = clearOfWalls(p.plane.entity, glm::vec2(0.0f, -1.0f));
    EXPECT_GT(low.y, 0.5f);
    EXPECT_NEAR(glm::length(low), 1.0f, 1e-5f);
    // Near the right wall, flying at it: turned left; near the ceiling: down.
    place->position = glm::vec3(85.0f, 0.0f, 0.0f);
    body->velocity = glm::vec3(0.0f);
    EXPECT_LT(clearOfWalls(p.plane.entity, glm::vec2(1.0f, 0.0f)).x, 0.0f);
    place->position = glm::vec3(0.0f, 75.0f, 0.0f);
    EXPECT_LT(clearOfWalls(p.plane.entity, glm::vec2(0.0f, 1.0f)).y, 0.0f);
    place->position = glm::vec3(-88.0f, 0.0f, 0.0f);
    EXPECT_GT(clearOfWalls(p.plane.entity, glm::vec2(-1.0f, 0.0f)).x, 0.0f);
    // Just beyond the reach of a side: untouched.
    place->position = glm::vec3(0.0f, -51.0f + 14.5f, 0.0f);
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f, -1.0f)), glm::vec2(0.0f, -1.0f));
    // The tree applies it after its action.
    place->position = glm::vec3(0.0f, -45.0f, 0.0f);
    body->velocity = glm::vec3(0.0f, -30.0f, 0.0f);
    think(p);
    EXPECT_GT(p.ai->stick.y, 0.0f);
}

TEST_F(Pilots, APilotHeadingIntoARockSlidesAlongItTowardTheOpenSky)
{
    world->addComponent(world->createEntity(), new ArenaPlan(harbour()));
    auto p = pilot(glm::vec3(0));
    world->getComponent<kit::Body>(p.plane.entity.id)->velocity = glm::vec3(0.0f);
    // Stopped 10 left of the lighthouse (its face at x 70), low over the quay.
    world->getComponent<kit::Transform>(p.plane.entity.id)->position = glm::vec3(60.0f, 0.0f, 0.0f);
    const glm::vec2 into = clearOfWalls(p.plane.entity, glm::vec2(1.0f, 0.0f));
    EXPECT_GT(into.y, 0.5f) << "up the lighthouse's side, not back and forth in front of it";
    EXPECT_NEAR(glm::length(into), 1.0f, 1e-5f);
    const glm::vec2 down = clearOfWalls(p.plane.entity, glm::vec2(0.6f, -0.8f));
    EXPECT_LT(down.x, 0.3f) << "no longer at the lighthouse";
    // Away from it the stick is only pushed further away.
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(-1.0f, 0.0f)), glm::vec2(-1.0f, 0.0f));
    const glm::vec2 up = clearOfWalls(p.plane.entity, glm::vec2(0.0f, 1.0f));
    EXPECT_LT(up.x, 0.0f);
    EXPECT_GT(up.y, 0.0f);
}

TEST_F(Pilots, PilotsKeepClearOfWhateverStandsInTheWorldsArena)
{
    // An arena with a block in the middle of its sky: 20 x 10 stage units,
    // from (-15, 15) to (15, 30) in the world.
    ArenaLayout tower = meadow();
    tower.solids.push_back(ArenaBox{-10.0f, 10.0f, 20.0f, 10.0f});
    world->addComponent(world->createEntity(), new ArenaPlan(tower));
    EXPECT_EQ(&layoutOf(world.get()), &world->single<ArenaPlan>()->layout);
    auto p = pilot(glm::vec3(0));
    auto* body = world->getComponent<kit::Body>(p.plane.entity.id);
    auto* place = world->getComponent<kit::Transform>(p.plane.entity.id);
    body->velocity = glm::vec3(0.0f);
    place->position = glm::vec3(0.0f, 10.0f, 0.0f); // 5 under the block, climbing into it
    const glm::vec2 under = clearOfWalls(p.plane.entity, glm::vec2(0.0f, 1.0f));
    EXPECT_LT(under.y, 0.0f) << "turned away from the block above";
    place->position = glm::vec3(-20.0f, 22.0f, 0.0f); // 5 left of it
    EXPECT_LT(clearOfWalls(p.plane.entity, glm::vec2(1.0f, 0.0f)).x, 0.0f);
    place->position = glm::vec3(3.0f, 28.0f, 0.0f); // inside it, near its top: out through the top
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f)), glm::vec2(0.0f, 1.0f));
    place->position = glm::vec3(13.0f, 20.0f, 0.0f); // near its right face
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f)), glm::vec2(1.0f, 0.0f));
    place->position = glm::vec3(-12.0f, 24.0f, 0.0f); // near its left face
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f)), glm::vec2(-1.0f, 0.0f));
    place->position = glm::vec3(0.0f, 16.0f, 0.0f); // near its bottom
    EXPECT_EQ(clearOfWalls(p.plane.entity, glm::vec2(0.0f)), glm::vec2(0.0f, -1.0f));
}

TEST(ArenaLayouts, TheMeadowsOpenSpaceIsBetweenItsSides)
{
    const ArenaLayout& layout = meadow();
    ASSERT_EQ(layout.solids.size(), 5u);
    EXPECT_EQ(layout.high(layout.solids[1]).y, layout.openLow.y) << "the floor's top";
    EXPECT_EQ(layout.low(layout.solids[0]).y, layout.openHigh.y) << "the ceiling's underside";
    EXPECT_EQ(layout.high(layout.solids[2]).x, layout.openLow.x) << "the left wall's face";
    EXPECT_EQ(layout.low(layout.solids[3]).x, layout.openHigh.x) << "the right wall's face";
    EXPECT_EQ(layout.middle(), glm::vec2(0.0f, 15.0f));
    EXPECT_EQ(&layoutOf(nullptr), &layout);
}
