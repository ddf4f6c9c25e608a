// The forks of a computer pilot's tree, seen in what the pilot does: which
// plane it picks as its target and when it drops one.
#include "PilotFixture.h"

#include "game/ai/Decisions.h"
#include "game/combat/Score.h"
#include "game/players/Sides.h"
#include "game/powerups/InvincibilityPower.h"

using test::Pilots;

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

TEST_F(Pilots, InATeamMatchThePilotNeverTakesAFriendForATarget)
{
    auto p = pilot(glm::vec3(0));
    auto friendNear = enemy(glm::vec3(20, 0, 0));
    auto foe = enemy(glm::vec3(-70, 0, 0));
    world->addComponent(p.plane.entity, new PlayerSide(Side::moon));
    world->addComponent(friendNear.entity, new PlayerSide(Side::moon));
    world->addComponent(foe.entity, new PlayerSide(Side::sun));
    think(p);
    EXPECT_EQ(p.ai->target.id, friendNear.entity.id) << "outside a team match, sides mean nothing";
    world->addComponent(world->createEntity(), new TeamPlay(true));
    p.ai->target = {};
    think(p);
    EXPECT_EQ(p.ai->target.id, foe.entity.id) << "friendly fire or not, a friend is no target";
    // With no foe left, nobody.
    world->destroyComponents(foe.entity.id, kit::typeId<PlayerSide>());
    world->addComponent(foe.entity, new PlayerSide(Side::moon));
    p.ai->target = {};
    think(p);
    EXPECT_TRUE(p.ai->target.empty());
}
