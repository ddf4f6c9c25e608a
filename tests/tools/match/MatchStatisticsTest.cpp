#include "tools/match/MatchStatistics.h"

#include "game/match/MatchFunctions.h"

#include "engine/core/Label.h"
#include "engine/render/Camera.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

using namespace skyscuffle;

using test::PlaneRig;

namespace {

// A short match counted by hand: two planes of this copy, the simulator's
// statistics watching, and the events a match would bring, one by one.
struct Counted : test::GameWorld {
    PlaneRig red, blue;
    MatchStatistics stats;

    void SetUp() override
    {
        test::GameWorld::SetUp();
        // The scores' own handlers, which tell what they scored.
        network->registerFunction(*world, fn::addKillPoints, &addKillPoints);
        network->registerFunction(*world, fn::addDeathPoints, &addDeathPoints);
        red = PlaneRig::build(*world, glm::vec3(-10, 0, 0));
        blue = PlaneRig::build(*world, glm::vec3(10, 0, 0));
        stats.watch(*world);
    }
    PlayerStatistics& of(const PlaneRig& p) { return stats.players[p.entity.id]; }
    void shoot(const PlaneRig& p)
    {
        network->callFunction(fn::spawnBullet, world->createEntity(), std::string("bullet"), std::string("bullet"),
                              p.entity.id, 1.0f, 0.5f, 1.0f, glm::vec3(0), glm::vec2(1, 0));
    }
    void bomb(const PlaneRig& p)
    {
        network->callFunction(fn::spawnBomb, world->createEntity(), std::string("bomb"), p.entity.id, 1.0f, 3.0f, 10.0f,
                              1.0f, 5.0f, glm::vec3(0), glm::vec2(0, -1));
    }
    // A game camera at `z` on the play plane's axis, looking at it.
    void camera(float z)
    {
        const kit::EntityHandle c = world->createEntity();
        world->addComponent(c, new kit::Transform(glm::vec3(0, 0, z)));
        world->addComponent(c, new kit::Camera(kit::sceneProjection()));
        world->addComponent(c, new kit::Label("gameSpace"));
    }
};

} // namespace

TEST_F(Counted, KillsDeathsHitsShotsAndPickUpsAreEachCountedForWhoDidThem)
{
    blue.health->damage(red.entity, 3.0f); // a hit
    red.health->damage(red.entity, 1.0f);  // its own bomb: no hit
    EXPECT_EQ(of(red).hits, 1);
    EXPECT_EQ(of(blue).hits, 0);

    blue.health->damage(red.entity, 20.0f); // shot down by red
    EXPECT_EQ(of(red).kills, 1);
    EXPECT_EQ(of(red).deaths, 0);
    EXPECT_EQ(of(blue).kills, 0);
    EXPECT_EQ(of(blue).deaths, 1);
    EXPECT_EQ(of(red).hits, 2);

    red.health->damage(red.entity, 20.0f); // red crashes on its own: a death, nobody's kill
    EXPECT_EQ(of(red).kills, 1);
    EXPECT_EQ(of(red).deaths, 1);
    EXPECT_EQ(of(blue).kills, 0);

    network->callFunction(fn::grantPower, blue.entity, glm::vec3(0), PowerEnum::speed);
    network->callFunction(fn::grantPower, blue.entity, glm::vec3(0), PowerEnum::bomb);
    EXPECT_EQ(of(blue).pickUps, 2);
    EXPECT_EQ(of(red).pickUps, 0);
    EXPECT_EQ(of(blue).kills, 0) << "a pick-up is no kill";

    shoot(red);
    shoot(red);
    bomb(red);
    bomb(blue);
    EXPECT_EQ(of(red).shots, 3) << "bullets and bombs are shots";
    EXPECT_EQ(of(blue).shots, 1);

    network->callFunction(fn::endGame, world->systemEntity(), ScoreTable{{red.entity.id, 1}, {blue.entity.id, -1}});
    network->callFunction(fn::endGame, world->systemEntity(), ScoreTable{{red.entity.id, 9}});
    EXPECT_TRUE(stats.ended);
    EXPECT_EQ(of(red).score, 1) << "the first table counts";
    EXPECT_EQ(of(blue).score, -1);
    EXPECT_EQ(stats.finalTable.size(), 2u);
}

TEST_F(Counted, OnlyTheArenaCountsAsAWallAndOnlyWhatTheCameraShowsAsInView)
{
    const kit::EntityHandle wall = world->createEntity();
    world->addComponent(wall, new kit::RigidBody(true, glm::vec3(0), {}));
    camera(40.0f);
    red.body->contacts.push_back(kit::Contact{glm::vec2(1, 0), wall});
    blue.body->contacts.push_back(kit::Contact{glm::vec2(-1, 0), red.entity}); // touching a plane
    stats.frame(*world, 1.0f / 60.0f);
    EXPECT_EQ(of(red).framesNearWall, 1);
    EXPECT_EQ(of(blue).framesNearWall, 0);
    EXPECT_EQ(of(red).framesAlive, 1);
    EXPECT_EQ(of(red).framesOffScreen, 0);
    EXPECT_EQ(stats.camera.ownPlaneFrames, 2);
    EXPECT_EQ(stats.camera.ownPlaneFramesInView, 2);

    // Pulled back beyond its far plane, the camera shows nothing.
    red.body->contacts.clear();
    blue.body->contacts.clear();
    world->getComponent<kit::Transform>((*world->getEntities(kit::typeId<kit::Camera>())->begin()).id)->position =
        glm::vec3(0, 0, 5000);
    stats.frame(*world, 1.0f / 60.0f);
    EXPECT_EQ(of(red).framesOffScreen, 1);
    EXPECT_EQ(of(blue).framesOffScreen, 1);
    EXPECT_EQ(stats.camera.ownPlaneFramesInView, 2);
    EXPECT_EQ(of(red).framesNearWall, 1);

    // A wreck is not counted alive.
    blue.health->damage(red.entity, 20.0f);
    stats.frame(*world, 1.0f / 60.0f);
    EXPECT_EQ(of(blue).framesAlive, 2);
    EXPECT_EQ(of(red).framesAlive, 3);
}
