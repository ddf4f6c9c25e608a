// A peer's projectile appears where its shooter has it by now, and a plane
// it passed on the way still meets it.
#include "game/weapons/ProjectileLead.h"

#include "game/common/Tags.h"
#include "game/match/MatchFunctions.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/Bullet.h"

#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/core/SettingsEntry.h"
#include "engine/physics/CircleCollider.h"
#include "engine/physics/LifeSpan.h"
#include "engine/physics/Transform.h"
#include "support/GameWorld.h"

#include <gtest/gtest.h>

#include <limits>

using namespace skyscuffle;

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
    // Of two on the way, the first met, whichever is listed first.
    for (const std::vector<ProjectileLead::Target>& two :
         {std::vector<ProjectileLead::Target>{{{8, 0}, 1.0f}, {{3, 0}, 1.0f}},
          std::vector<ProjectileLead::Target>{{{3, 0}, 1.0f}, {{8, 0}, 1.0f}}}) {
        const ProjectileLead first = ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, two);
        EXPECT_NEAR(first.position.x, 3.0f, 1e-4f);
        EXPECT_NEAR(first.seconds, 0.03f, 1e-5f);
    }
    // One the projectile starts in: it stays where it starts.
    const ProjectileLead inside = ProjectileLead::along({0, 0, 0}, {100, 0}, 0.1f, 0.25f, {{{-1, 0}, 2.0f}});
    EXPECT_EQ(inside.position, glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(inside.seconds, 0.0f);
}

constexpr std::uint32_t shooterCopy = 0xBAD;

// Peers' shots arriving a link's delay after they were fired.
struct PeersShots : test::GameWorld {
    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
        network->assumedDelay = 0.1f;
    }
    void TearDown() override
    {
        kit::settings::set("tuning.network.projectileLead", "1");
        kit::SettingsEntryBase::refreshAll();
    }
    kit::EntityID bullet(std::uint32_t origin, glm::vec3 at, float life = 5.0f)
    {
        const kit::EntityID id{origin, serial++};
        network->callFunction(fn::spawnBullet, id, "models/quad.obj", "images/bullet.png", kit::EntityID{origin, 1},
                              life, 0.25f, 2.0f, at, glm::vec2(100.0f, 0.0f));
        return id;
    }
    kit::EntityID bomb(std::uint32_t origin, float life)
    {
        const kit::EntityID id{origin, serial++};
        network->callFunction(fn::spawnBomb, id, "models/smallBomb/smallBomb.obj", kit::EntityID{origin, 1}, 0.0f,
                              20.0f, 10.0f, 2.0f, life, glm::vec3(0.0f, 50.0f, 0.0f), glm::vec2(0.0f, -40.0f));
        return id;
    }
    glm::vec3 where(kit::EntityID id) { return world->getComponent<kit::Transform>(id)->position; }
    float life(kit::EntityID id) { return world->getComponent<kit::LifeSpan>(id)->remaining; }
    std::uint32_t serial = 10;
};

} // namespace

TEST_F(PeersShots, APeersBulletAppearsWhereItsShooterHasItByNow)
{
    const kit::EntityID theirs = bullet(shooterCopy, {0, 0, 0});
    EXPECT_NEAR(where(theirs).x, 10.0f, 1e-4f);
    EXPECT_NEAR(life(theirs), 4.9f, 1e-4f);
    // This copy's own: where it is fired.
    const kit::EntityID own = bullet(world->origin, {0, 0, 0});
    EXPECT_EQ(where(own), glm::vec3(0.0f));
    EXPECT_FLOAT_EQ(life(own), 5.0f);
    // Never beyond the bound, and never a life below nothing.
    network->assumedDelay = 1.0f;
    const kit::EntityID late = bullet(shooterCopy, {0, 0, 0}, 0.1f);
    EXPECT_NEAR(where(late).x, 100.0f * ProjectileLead::maxLead, 1e-3f);
    EXPECT_FLOAT_EQ(life(late), 0.0f);
}

TEST_F(PeersShots, APeersBulletStopsAtAPlaneOfThisCopysItPassedOnTheWay)
{
    const kit::EntityHandle plane = world->createEntity();
    world->addComponent(plane, new kit::Transform(glm::vec3(5, 0, 0)));
    world->addComponent(plane, new kit::CircleCollider(2.0f));
    world->addComponent(plane, new kit::Label(tags::plane));
    const kit::EntityID theirs = bullet(shooterCopy, {0, 0, 0});
    EXPECT_NEAR(where(theirs).x, 5.0f, 1e-4f);
    EXPECT_NEAR(life(theirs), 4.95f, 1e-4f);
    // The shooter's own plane is not in its bullet's way.
    const kit::EntityID fromIt = bullet(plane.id.origin, {0, 0, 0});
    EXPECT_EQ(where(fromIt), glm::vec3(0.0f));
}

TEST_F(PeersShots, APeersBombToo)
{
    const kit::EntityID theirs = bomb(shooterCopy, 15.0f);
    EXPECT_NEAR(where(theirs).y, 46.0f, 1e-4f);
    EXPECT_NEAR(life(theirs), 14.9f, 1e-4f);
    // A lifespan beyond a minute is cut to one.
    EXPECT_NEAR(life(bomb(shooterCopy, 1000.0f)), 59.9f, 1e-3f);
    EXPECT_FLOAT_EQ(life(bomb(world->origin, 1000.0f)), 60.0f);
}

TEST_F(PeersShots, WithoutLeadAPeersShotAppearsWhereItWasFired)
{
    kit::settings::set("tuning.network.projectileLead", "0");
    kit::SettingsEntryBase::refreshAll();
    EXPECT_EQ(where(bullet(shooterCopy, {1, 2, 0})), glm::vec3(1, 2, 0));
    EXPECT_EQ(where(bomb(shooterCopy, 15.0f)), glm::vec3(0, 50, 0));
}
