#include "game/input/AutoFire.h"
#include "game/match/MatchFunctions.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/ShotgunPower.h"
#include "game/weapons/BasicGun.h"
#include "game/weapons/Bullet.h"
#include "game/weapons/Explosion.h"
#include "game/weapons/GatlingGun.h"

#include "engine/physics/Body.h"
#include "engine/physics/LifeSpan.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <cmath>
#include <numbers>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

struct Weapons : test::GameWorld {
    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
    }

    std::vector<kit::EntityHandle> bullets() { return world->getEntities(kit::typeId<Bullet>())->toVector(); }
    kit::EntityHandle gun(const PlaneRig& plane)
    {
        const kit::EntityHandle gun = world->createEntity();
        world->addComponent(gun, new kit::Transform(plane.entity, glm::vec3(0.0f)));
        world->addComponent(gun, new BasicGun(plane.entity, "basicShot"));
        return gun;
    }
};

float degrees(glm::vec3 v)
{
    return std::atan2(v.y, v.x) * 180.0f / std::numbers::pi_v<float>;
}

} // namespace

TEST_F(Weapons, TheBasicGunFiresOncePerPeriodFromAlternateBarrels)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0, 0, 0));
    gun(plane);
    plane.gamepad->held[1] = true;
    std::vector<float> shotTimes;
    std::size_t seen = 0;
    float clock = 0.0f;
    for (int frame = 0; frame < 60; ++frame) { // 3 s at 20 frames a second
        clock += 0.05f;
        plane.transform->position = glm::vec3(0.0f); // hold it still
        plane.body->velocity = glm::vec3(0.0f);
        world->update(0.05f);
        if (world->getComponentCollection(kit::typeId<Bullet>())->size() > seen)
            shotTimes.push_back(clock);
        seen = world->getComponentCollection(kit::typeId<Bullet>())->size();
    }
    ASSERT_EQ(shotTimes.size(), 10u); // 3 s at one every 0.3 s
    EXPECT_NEAR(shotTimes.front(), 0.05f, 1e-4f); // the first leaves at once
    for (std::size_t i = 1; i < shotTimes.size(); ++i)
        EXPECT_NEAR(shotTimes[i] - shotTimes[i - 1], 0.3f, 0.051f);
    // Barrels at +2 and -2 along the wing (world z for a plane flying right), taking turns.
    std::vector<float> sides;
    for (const auto& b : bullets()) {
        const auto* t = world->getComponent<kit::Transform>(b.id);
        sides.push_back(t->position.z);
        EXPECT_NEAR(world->getComponent<kit::Body>(b.id)->velocity.x, 100.0f, 1e-3f);
        EXPECT_EQ(world->getComponent<Bullet>(b.id)->damage, 2.0f);
    }
    int changes = 0;
    for (std::size_t i = 1; i < sides.size(); ++i)
        changes += (sides[i] > 0) != (sides[i - 1] > 0);
    EXPECT_NEAR(std::abs(sides.front()), 2.0f, 1e-5f);
    EXPECT_EQ(changes, static_cast<int>(sides.size()) - 1);
}

TEST_F(Weapons, AfterAPauseTheFirstShotLeavesAtOnce)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    gun(plane);
    plane.gamepad->held[1] = true;
    world->update(0.05f);
    plane.gamepad->held[1] = false;
    for (int i = 0; i < 20; ++i)
        world->update(0.05f);
    const std::size_t before = bullets().size();
    plane.gamepad->held[1] = true;
    world->update(0.05f);
    EXPECT_EQ(bullets().size(), before + 1);
}

TEST_F(Weapons, AutoFireShootsAtTheGunsRateWithNothingHeldUntilAPressStopsIt)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    gun(plane);
    world->addComponent(plane.entity, new AutoFire);
    const auto fly = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            plane.transform->position = glm::vec3(0.0f); // hold it still
            plane.body->velocity = glm::vec3(0.0f);
            world->update(0.05f);
        }
        return bullets().size();
    };
    EXPECT_EQ(fly(20), 0u) << "not chosen: nothing held, nothing fired";
    plane.gamepad->autoFires = true;
    EXPECT_EQ(fly(60), 10u) << "3 s at one every 0.3 s, nothing held";
    plane.gamepad->held[1] = true; // a press: the gun stops
    const std::size_t stopped = fly(1);
    plane.gamepad->held[1] = false;
    EXPECT_EQ(fly(20), stopped);
    plane.gamepad->held[1] = true; // another: it fires again, at once
    EXPECT_EQ(fly(1), stopped + 1);
}

TEST_F(Weapons, NoGamepadNoFireAndWrecksDoNotShoot)
{
    auto theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 2});
    gun(theirs);
    auto mine = PlaneRig::build(*world, glm::vec3(0, 30, 0));
    gun(mine);
    mine.gamepad->held[1] = true;
    mine.health->damage(mine.entity, 20.0f);
    for (int i = 0; i < 10; ++i)
        world->update(0.05f);
    EXPECT_TRUE(bullets().empty());
}

TEST_F(Weapons, TheGatlingKeepsTenShotsASecondOnLongFrames)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    auto* power = new GatlingGunPower;
    world->addComponent(plane.entity, power);
    ASSERT_EQ(power->shotsLeft, 50);
    for (int frame = 0; frame < 10; ++frame) { // 1.5 s in frames of 0.15 s
        plane.transform->position = glm::vec3(0.0f);
        plane.body->velocity = glm::vec3(0.0f);
        world->update(0.15f);
    }
    const std::size_t fired = bullets().size();
    EXPECT_GE(fired, 15u);
    EXPECT_LE(fired, 16u);
    EXPECT_EQ(power->shotsLeft, 50 - static_cast<int>(fired));
    // Shots due earlier in a frame start further out along their way.
    float nearest = 1e9f, farthest = 0.0f;
    for (const auto& b : bullets()) {
        const float x = world->getComponent<kit::Transform>(b.id)->position.x;
        nearest = std::min(nearest, x);
        farthest = std::max(farthest, x);
    }
    EXPECT_GT(farthest - nearest, 100.0f);
}

TEST_F(Weapons, TheGatlingStopsWhenItsBulletsAreSpentAndThePowerEndsEverywhere)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    auto* power = new GatlingGunPower;
    power->shotsLeft = 3;
    world->addComponent(plane.entity, power);
    for (int frame = 0; frame < 20; ++frame)
        world->update(0.1f);
    EXPECT_EQ(bullets().size(), 3u);
    EXPECT_EQ(world->getComponent<GatlingGunPower>(plane.entity.id), nullptr);
    EXPECT_EQ(world->getEntities(kit::typeId<GatlingGun>())->size(), 0u); // the gun went with it
}

TEST_F(Weapons, AShotgunBlastFansTenPelletsSharingItsDamage)
{
    auto plane = PlaneRig::build(*world, glm::vec3(0));
    auto* power = new ShotgunPower;
    world->addComponent(plane.entity, power);
    plane.gamepad->held[2] = true;
    world->update(0.01f); // the shotgun's first frame only counts down
    world->update(0.01f);
    const auto pellets = bullets();
    ASSERT_EQ(pellets.size(), 10u);
    float damage = 0.0f;
    std::vector<float> angles;
    for (const auto& p : pellets) {
        damage += world->getComponent<Bullet>(p.id)->damage;
        angles.push_back(degrees(world->getComponent<kit::Body>(p.id)->velocity));
    }
    EXPECT_NEAR(damage, 10.0f, 1e-4f);
    std::sort(angles.begin(), angles.end());
    EXPECT_NEAR(angles.front(), -15.0f + 30.0f / 9.0f, 1e-3f); // -11.7 degrees
    EXPECT_NEAR(angles.back(), 15.0f, 1e-3f);
    EXPECT_EQ(std::count_if(angles.begin(), angles.end(), [](float a) { return std::abs(a) < 1e-3f; }), 1);
    EXPECT_EQ(power->shotsLeft, 4);
    world->update(0.5f);
    EXPECT_EQ(bullets().size(), 10u); // one blast a second
}

TEST_F(Weapons, BulletsPassTheirOwnPlaneAndHitOthersOnce)
{
    auto shooter = PlaneRig::build(*world, glm::vec3(0));
    auto target = PlaneRig::build(*world, glm::vec3(0, 30, 0));
    network->callFunction(fn::spawnBullet, world->createEntity(), "models/quad.obj", "images/bullet.png",
                          shooter.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(0.5f, 0, 0), glm::vec2(0.0f));
    network->callFunction(fn::spawnBullet, world->createEntity(), "models/quad.obj", "images/bullet.png",
                          shooter.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(0, 30.5f, 0), glm::vec2(0.0f));
    world->update(0.01f);
    EXPECT_EQ(shooter.health->currentHealth, 10.0f);
    EXPECT_EQ(target.health->currentHealth, 8.0f);
    EXPECT_EQ(target.health->lastAttacker.id, shooter.entity.id);
    EXPECT_EQ(bullets().size(), 1u); // the one that hit is gone
}

TEST_F(Weapons, OnlyTheVictimsOwnCopyTakesTheDamage)
{
    auto shooter = PlaneRig::build(*world, glm::vec3(0));
    auto theirs = PlaneRig::build(*world, glm::vec3(0, 30, 0), glm::vec3(1, 0, 0), kit::EntityID{0xFEED, 3});
    network->callFunction(fn::spawnBullet, world->createEntity(), "models/quad.obj", "images/bullet.png",
                          shooter.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(0, 30.5f, 0), glm::vec2(0.0f));
    world->update(0.01f);
    EXPECT_EQ(theirs.health->currentHealth, 10.0f);
    EXPECT_TRUE(bullets().empty());                                                 // it still hit
    EXPECT_FALSE(world->getEntities(kit::tagId("particleLifeSpan"))->empty());     // and showed the impact
}

TEST_F(Weapons, ABlastHurtsByDistanceFromTheColliderEdgeAndPushes)
{
    std::vector<PlaneRig> planes;
    // Collider edges (radius 2) at 0, 5, 10 and 15 from the blast at the origin.
    for (float edge : {0.0f, 5.0f, 10.0f, 15.0f})
        planes.push_back(PlaneRig::build(*world, glm::vec3(edge + 2.0f, 0, 0)));
    const kit::EntityHandle blast = world->createEntity();
    world->addComponent(blast, new kit::Transform(glm::vec3(0.0f)));
    world->addComponent(blast, new Explosion(10.0f, 0.0f, 8.0f, planes[0].entity));
    testing::internal::CaptureStdout();
    world->update(0.01f);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(planes[0].health->currentHealth, 2.0f);
    EXPECT_EQ(planes[1].health->currentHealth, 6.0f);
    EXPECT_EQ(planes[2].health->currentHealth, 10.0f);
    EXPECT_EQ(planes[3].health->currentHealth, 10.0f);
    EXPECT_NEAR(planes[0].body->velocity.x, 3.0f * 8.0f, 1e-3f); // 3 x damage / mass, away from the blast
    EXPECT_NEAR(planes[1].body->velocity.x, 3.0f * 4.0f, 1e-3f);
    EXPECT_FALSE(world->entities.contains(blast.id)); // once only
    EXPECT_NE(printed.find("distance:5\ndamage:4\n"), std::string::npos) << printed;
}

TEST_F(Weapons, PeersCannotSpawnNonsense)
{
    // A plane of the peer that sends the calls.
    auto owner = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 100});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto spawn = [&](kit::EntityID id, std::string model, float lifespan, float radius, glm::vec3 at) {
        network->callFunction(fn::spawnBullet, id, model, "images/bullet.png", owner.entity.id, lifespan, radius, 1.0f,
                              at, glm::vec2(10, 0));
    };
    spawn(kit::EntityID{0xBAD, 1}, "models/quad.obj", nan, 1.0f, glm::vec3(50, 50, 0));
    spawn(kit::EntityID{0xBAD, 2}, "/etc/passwd", 1.0f, 1.0f, glm::vec3(50, 50, 0));
    spawn(kit::EntityID{0xBAD, 3}, "models/quad.obj", 1.0f, 1.0f, glm::vec3(nan, 0, 0));
    spawn(kit::EntityID{0xBAD, 0}, "models/quad.obj", 1.0f, 1.0f, glm::vec3(50, 50, 0)); // a system entity
    EXPECT_TRUE(bullets().empty());
    spawn(kit::EntityID{0xBAD, 4}, "models/quad.obj", 1e9f, -5.0f, glm::vec3(50, 50, 0));
    ASSERT_EQ(bullets().size(), 1u);
    EXPECT_EQ(world->getComponent<kit::LifeSpan>(kit::EntityID{0xBAD, 4})->total, 30.0f); // never for ever
    spawn(kit::EntityID{0xBAD, 4}, "models/quad.obj", 1.0f, 1.0f, glm::vec3(50, 50, 0)); // the same id again
    EXPECT_EQ(world->componentsOf(kit::EntityID{0xBAD, 4})->size(), world->componentsOf(bullets()[0].id)->size());
    network->callFunction(fn::spawnBomb, kit::EntityID{0xBAD, 5}, "models/smallBomb/smallBomb.obj", owner.entity.id,
                          0.0f, 20.0f, nan, 2.0f, 15.0f, glm::vec3(0), glm::vec2(0));
    EXPECT_FALSE(world->entities.contains(kit::EntityID{0xBAD, 5}));
}
