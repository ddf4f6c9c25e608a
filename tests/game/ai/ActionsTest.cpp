// The actions of a computer pilot: how it aims, fires, dashes and uses its
// power when attacking, and where it flies when it evades.
#include "PilotFixture.h"

#include "game/common/ArenaLayout.h"

#include "engine/core/SettingsEntry.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cmath>
#include <string>

using test::Pilots;

namespace {

float degreesBetween(glm::vec2 a, glm::vec2 b)
{
    return glm::degrees(std::acos(std::clamp(glm::dot(glm::normalize(a), glm::normalize(b)), -1.0f, 1.0f)));
}

} // namespace

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

TEST_F(Pilots, ATargetBeyondTheArchIsAttackedRoundTheArchsNearerEnd)
{
    kit::settings::set("tuning.ai.steeringAccuracy", "0"); // no aim error
    kit::SettingsEntryBase::refreshAll();
    world->addComponent(world->createEntity(), new ArenaPlan(canyon())); // the span: x -28 to 28, y 5 to 18
    auto p = pilot(glm::vec3(-5, -20, 0));
    p.plane.body->velocity = glm::vec3(0);
    auto target = enemy(glm::vec3(-5, 40, 0)); // straight above, over the span
    target.body->velocity = glm::vec3(0);
    think(p);
    EXPECT_NEAR(degreesBetween(p.ai->stick, glm::vec2(-36, -3) - glm::vec2(-5, -20)), 0.0f, 0.05f)
        << "out under the span's left end, not up into it";
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
