// The pilots' strengths: what each level changes in the way a pilot flies,
// their names, and the setting that picks the strength of new pilots.
#include "PilotFixture.h"

#include "game/ai/PilotSkill.h"

#include <glm/trigonometric.hpp>

#include <cmath>

using test::Pilots;

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
        auto target = enemy(glm::vec3(6, 0, 0));                                 // close ahead: the shotgun's place
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
