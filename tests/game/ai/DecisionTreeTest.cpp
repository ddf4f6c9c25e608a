#include "game/ai/ArtificialIntelligence.h"
#include "game/match/MatchFunctions.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/ai/Decisions.h"
#include "game/ai/PilotSkill.h"
#include "game/ai/PlaneDecisionTree.h"
#include "game/combat/Score.h"
#include "game/powerups/InvincibilityPower.h"

#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <glm/geometric.hpp>

#include <cmath>
#include <string>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

// Computer pilots in a match world: the pilot's plane carries its
// ArtificialIntelligence, its AI gamepad and its decision tree.
struct Pilots : test::GameWorld {
    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
        kit::settings::set("tuning.ai.steeringAccuracy", "70");
    }
    void TearDown() override { kit::settings::set("tuning.ai.steeringAccuracy", "70"); }

    struct Pilot {
        PlaneRig plane;
        ArtificialIntelligence* ai;
    };
    Pilot pilot(glm::vec3 at, glm::vec3 nose = glm::vec3(1, 0, 0))
    {
        Pilot p{PlaneRig::build(*world, at, nose), new ArtificialIntelligence};
        world->destroyComponents(p.plane.entity.id, kit::typeId<test::FakeGamepad>());
        world->addComponent(p.plane.entity, p.ai);
        world->addComponent(p.plane.entity, new VirtualGamepadAI(p.ai));
        world->addComponent(p.plane.entity, new kit::Label("player"));
        world->addComponent(p.plane.entity, new PlaneDecisionTree(p.ai));
        return p;
    }
    // A plane that is only a target: no pilot, no gamepad.
    PlaneRig enemy(glm::vec3 at, glm::vec3 nose = glm::vec3(-1, 0, 0))
    {
        PlaneRig p = PlaneRig::build(*world, at, nose);
        world->destroyComponents(p.entity.id, kit::typeId<test::FakeGamepad>());
        world->addComponent(p.entity, new kit::Label("player"));
        world->destroyComponents(p.entity.id, kit::typeId<PlanePhysics>()); // it holds still
        return p;
    }
    kit::EntityHandle pickUp(glm::vec3 at, const char* label)
    {
        const kit::EntityHandle item = world->createEntity();
        world->addComponent(item, new kit::Transform(at));
        world->addComponent(item, new kit::Label(label));
        world->addComponent(item, new kit::Label("pickUpItem"));
        return item;
    }
    // The pilot's choice of this frame, without anything moving.
    void think(Pilot& p) { world->getComponent<PlaneDecisionTree>(p.plane.entity.id)->update(0.0f); }
};

float degreesBetween(glm::vec2 a, glm::vec2 b)
{
    return glm::degrees(std::acos(std::clamp(glm::dot(glm::normalize(a), glm::normalize(b)), -1.0f, 1.0f)));
}

} // namespace

TEST_F(Pilots, WithNobodyAndNothingAroundThePilotOnlyGlides)
{
    auto p = pilot(glm::vec3(0));
    think(p);
    EXPECT_EQ(p.ai->stick, glm::vec2(0.0f));
    EXPECT_FALSE(p.ai->buttons[0] || p.ai->buttons[1] || p.ai->buttons[2]);
}

TEST_F(Pilots, AHealthyPilotAttacksTheBestTarget)
{
    auto p = pilot(glm::vec3(0));
    auto near = enemy(glm::vec3(30, 0, 0));
    auto wounded = enemy(glm::vec3(-60, 0, 0));
    think(p);
    EXPECT_EQ(p.ai->target.id, near.entity.id); // nearer wins at equal health
    wounded.health->currentHealth = 7.0f;       // three wounds outweigh 0.9 of extra distance
    p.ai->target = {};
    think(p);
    EXPECT_EQ(p.ai->target.id, wounded.entity.id);
}

TEST_F(Pilots, PlanesAheadOnPointsDrawMoreFire)
{
    auto p = pilot(glm::vec3(0));
    auto near = enemy(glm::vec3(30, 0, 0));
    auto leader = enemy(glm::vec3(-60, 0, 0));
    world->getComponent<Score>(leader.entity.id)->points = 4; // half a point of value per point ahead
    EXPECT_GT(FindTarget::value(p.plane.entity, leader.entity), FindTarget::value(p.plane.entity, near.entity));
    think(p);
    EXPECT_EQ(p.ai->target.id, leader.entity.id);
}

TEST_F(Pilots, ATargetThatTurnsInvincibleIsDroppedAtOnce)
{
    auto p = pilot(glm::vec3(0));
    auto first = enemy(glm::vec3(20, 0, 0));
    auto second = enemy(glm::vec3(-80, 0, 0));
    think(p);
    ASSERT_EQ(p.ai->target.id, first.entity.id);
    world->addComponent(first.entity, new InvincibilityPower); // respawned
    think(p);
    EXPECT_EQ(p.ai->target.id, second.entity.id);
    first.health->damage(first.entity, 0.0f);
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

TEST_F(Pilots, HeadOnThePilotAimsAtTheTargetItselfOtherwiseLeadsIt)
{
    kit::settings::set("tuning.ai.steeringAccuracy", "0"); // no aim error
    kit::SettingsEntryBase::refreshAll();
    auto p = pilot(glm::vec3(0));
    p.plane.body->velocity = glm::vec3(50, 0, 0);
    auto target = enemy(glm::vec3(40, 10, 0));
    target.body->velocity = glm::vec3(-50, 0, 0); // coming straight at it
    think(p);
    EXPECT_NEAR(degreesBetween(p.ai->stick, glm::vec2(40, 10)), 0.0f, 0.05f);

    target.body->velocity = glm::vec3(0, 50, 0); // crossing: lead it
    think(p);
    const float lead = std::sqrt(40.0f * 40.0f + 10.0f * 10.0f) / (50.0f + 100.0f + 45.0f);
    EXPECT_NEAR(degreesBetween(p.ai->stick, glm::vec2(40, 10 + 50 * lead)), 0.0f, 0.05f);
    EXPECT_GT(degreesBetween(p.ai->stick, glm::vec2(40, 10)), 5.0f);
    kit::settings::set("tuning.ai.steeringAccuracy", "70");
    kit::SettingsEntryBase::refreshAll();
}

TEST_F(Pilots, ThePilotFiresWhenTheNoseIsOnTheTargetAndDashesWhenClose)
{
    auto p = pilot(glm::vec3(0));
    auto target = enemy(glm::vec3(40, 5, 0));
    think(p);
    EXPECT_TRUE(p.ai->buttons[1]);  // 7 degrees off the nose: cos 0.99
    EXPECT_FALSE(p.ai->buttons[0]); // 40 away: no dash
    target.transform->position = glm::vec3(8, 0, 0);
    think(p);
    EXPECT_TRUE(p.ai->buttons[0]);
    target.transform->position = glm::vec3(20, 34.6f, 0); // 60 degrees off the nose: no shot
    think(p);
    EXPECT_FALSE(p.ai->buttons[1]);
    target.transform->position = glm::vec3(0, 40, 0); // straight above: no shot
    think(p);
    EXPECT_FALSE(p.ai->buttons[1]);
    EXPECT_FALSE(p.ai->buttons[2]); // no shotgun or bombs either
}

TEST_F(Pilots, TheAimErrorScattersTheStickAroundTheTarget)
{
    auto p = pilot(glm::vec3(0));
    enemy(glm::vec3(40, 0, 0));
    float widest = 0.0f;
    for (int i = 0; i < 200; ++i) {
        think(p);
        const float off = degreesBetween(p.ai->stick, glm::vec2(1, 0));
        EXPECT_LE(off, 70.01f);
        widest = std::max(widest, off);
    }
    EXPECT_GT(widest, 50.0f);
}

TEST_F(Pilots, TheSpecialButtonFollowsThePowerAndWhereTheTargetIs)
{
    struct Case {
        const char* where;
        glm::vec3 at;
        bool withShotgun, withBombs;
    };
    const Case cases[] = {
        {"close ahead", glm::vec3(6, 0, 0), true, false},   // within the shotgun's reach
        {"far ahead", glm::vec3(40, 0, 0), false, false},   // beyond it
        {"below", glm::vec3(0, -30, 0), false, true},       // a bomb falls on it
        {"above", glm::vec3(0, 30, 0), false, false},       // a bomb would fall away from it
        {"touching", glm::vec3(3, 0, 0), true, true},       // close enough for either
        {"close behind", glm::vec3(-6, 0, 0), false, false} // the shotgun fires forward
    };
    for (const char* power : {"", "shotgunPower", "bombPower"}) {
        auto p = pilot(glm::vec3(0));
        if (*power)
            world->addComponent(p.plane.entity, new kit::Label(power));
        auto target = enemy(glm::vec3(40, 0, 0));
        for (const Case& c : cases) {
            target.transform->position = c.at;
            think(p);
            ASSERT_EQ(p.ai->target.id, target.entity.id);
            const bool expected = (std::string(power) == "shotgunPower" && c.withShotgun) ||
                                  (std::string(power) == "bombPower" && c.withBombs);
            EXPECT_EQ(p.ai->buttons[2], expected) << (*power ? power : "no power") << ", target " << c.where;
        }
        world->destroyEntity(target.entity);
        world->destroyEntity(p.plane.entity);
        world->update(0.0f);
    }
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

TEST_F(Pilots, AWoundedPilotFleesWhereItsAttackerWillBe)
{
    kit::settings::set("tuning.ai.steeringAccuracy", "0");
    kit::SettingsEntryBase::refreshAll();
    auto p = pilot(glm::vec3(0));
    auto attacker = enemy(glm::vec3(20, 0, 0));
    attacker.body->velocity = glm::vec3(0, 60, 0); // climbing past
    p.plane.health->damage(attacker.entity, 8.0f);
    think(p);
    EXPECT_EQ(p.ai->threat.id, attacker.entity.id);
    EXPECT_LT(p.ai->stick.x, 0.0f);
    EXPECT_LT(p.ai->stick.y, 0.0f) << "away from where it is heading, not only from where it is";
    EXPECT_TRUE(p.ai->buttons[0]);
    kit::settings::set("tuning.ai.steeringAccuracy", "70");
    kit::SettingsEntryBase::refreshAll();
}

// The three strengths: normal is the tuning as it stands; easy never fires a
// pick-up's weapon, is slower to react and fires only when well lined up;
// hard fires at a wider angle and dashes in from further.
TEST_F(Pilots, EachStrengthFliesAsItsLevelSays)
{
    const PilotSkill normal = skillOf(PilotStrength::normal);
    EXPECT_EQ(normal.aimScale, 1.0f);
    EXPECT_EQ(normal.reactionSeconds, 0.0f);
    EXPECT_EQ(normal.gunCone, 0.0f) << "the tuning's own cone";
    EXPECT_EQ(normal.dashReach, 1.0f);
    EXPECT_TRUE(normal.usesPowers);
    EXPECT_GT(skillOf(PilotStrength::easy).aimScale, 1.0f);
    EXPECT_LT(skillOf(PilotStrength::hard).aimScale, 1.0f);

    // A target 12 units away, 30 degrees off the nose: within hard's cone, not
    // within normal's (cosine 0.9) nor easy's.
    const glm::vec3 offAxis(12.0f * std::cos(glm::radians(30.0f)), 12.0f * std::sin(glm::radians(30.0f)), 0.0f);
    for (PilotStrength level : {PilotStrength::easy, PilotStrength::normal, PilotStrength::hard}) {
        auto p = pilot(glm::vec3(0));
        p.ai->strength = level;
        world->addComponent(p.plane.entity, new kit::Label("shotgunPower"));
        auto target = enemy(glm::vec3(6, 0, 0)); // close ahead: the shotgun's place
        world->getComponent<PlaneDecisionTree>(p.plane.entity.id)->update(1.0f); // past any reaction time
        ASSERT_EQ(p.ai->target.id, target.entity.id) << nameOf(level);
        EXPECT_EQ(p.ai->buttons[2], level != PilotStrength::easy) << nameOf(level) << ": the shotgun";
        EXPECT_EQ(p.ai->buttons[0], level != PilotStrength::easy) << nameOf(level) << ": a dash at a close target";
        target.transform->position = offAxis;
        world->getComponent<PlaneDecisionTree>(p.plane.entity.id)->update(1.0f);
        EXPECT_EQ(p.ai->buttons[1], level == PilotStrength::hard) << nameOf(level) << ": the gun 30 degrees off";
        target.transform->position = glm::vec3(15, 0, 0); // beyond normal's dash reach, within hard's
        world->getComponent<PlaneDecisionTree>(p.plane.entity.id)->update(1.0f);
        EXPECT_EQ(p.ai->buttons[0], level == PilotStrength::hard) << nameOf(level) << ": a dash from 15 units";
        world->destroyEntity(target.entity);
        world->destroyEntity(p.plane.entity);
        world->update(0.0f);
    }
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

TEST(PilotStrengths, AreNamedAndABadSettingGivesNormalWithOneLine)
{
    for (PilotStrength s : {PilotStrength::easy, PilotStrength::normal, PilotStrength::hard})
        EXPECT_EQ(strengthNamed(nameOf(s)), s);
    EXPECT_FALSE(strengthNamed("Hard"));
    EXPECT_FALSE(strengthNamed(""));
    kit::settings::set("tuning.ai.strength", "hard");
    EXPECT_EQ(defaultStrength(), PilotStrength::hard);
    kit::settings::set("tuning.ai.strength", "ace");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(defaultStrength(), PilotStrength::normal);
    EXPECT_EQ(defaultStrength(), PilotStrength::normal);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Tuning value tuning.ai.strength is \"ace\", not easy, normal or hard; using normal\n");
    kit::settings::set("tuning.ai.strength", "normal");
}
