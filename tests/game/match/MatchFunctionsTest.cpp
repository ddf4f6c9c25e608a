// The arguments of every named function of a match, as a peer may send
// them: each handler takes only what the game itself would send.
#include "game/match/MatchFunctions.h"
#include "game/common/Arena.h"
#include "game/players/PlayerInfo.h"
#include "game/powerups/BombPower.h"
#include "game/players/PlayerColours.h"
#include "game/match/PlayerPlane.h"
#include "game/weapons/Bullet.h"

#include "engine/core/Label.h"
#include "engine/network/stream/NetStream.h"
#include "engine/physics/Body.h"
#include "engine/physics/RigidBody.h"
#include "engine/physics/Transform.h"
#include "engine/render/Text.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

#include <limits>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

struct Handlers : test::GameWorld {
    void SetUp() override
    {
        test::GameWorld::SetUp();
        registerGameplayFunctions(*world);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        if (!done)
            finish();
    }
    void finish()
    {
        done = true;
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
    }
    std::size_t texts() { return world->getEntities(kit::typeId<kit::Text>())->size(); }

    bool done = false;
    std::string out, err;
};

} // namespace

TEST_F(Handlers, PrintTakesOneLineOfPlainText)
{
    network->callFunction(fn::print, world->systemEntity(), "hello, copies");
    network->callFunction(fn::print, world->systemEntity(), "\x1b[2Jcleared");
    network->callFunction(fn::print, world->systemEntity(), "two\nlines");
    network->callFunction(fn::print, world->systemEntity(), std::string(1001, 'x'));
    network->callFunction(fn::print, world->systemEntity(), std::string(1000, 'y'));
    finish();
    EXPECT_EQ(out, "hello, copies\n" + std::string(1000, 'y') + "\n");
    EXPECT_NE(err.find("Refused \"print\""), std::string::npos);
}

TEST_F(Handlers, ATauntIsShortPrintableText)
{
    const PlaneRig plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::spawnTaunt, plane.entity, std::string(81, 'a'));
    network->callFunction(fn::spawnTaunt, plane.entity, "bell\a");
    network->callFunction(fn::spawnTaunt, plane.entity, std::string("nul\0", 4));
    EXPECT_EQ(texts(), 0u); // (a taunt that passes is drawn: the render tests show one)
    finish();
    int lines = 0;
    for (std::size_t at = err.find("Refused \"spawnTaunt\""); at != std::string::npos;
         at = err.find("Refused \"spawnTaunt\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3) << err;
}

TEST_F(Handlers, SoundsComeOnlyFromTheTable)
{
    network->callFunction(fn::playSound, world->systemEntity(), "../../etc/passwd");
    network->callFunction(fn::playSound, world->systemEntity(), "impact");
    finish();
    EXPECT_NE(err.find("Refused \"playSound\": a sound that is not in the game's table\n"), std::string::npos);
    EXPECT_EQ(err.find("passwd"), std::string::npos);
    EXPECT_EQ(err.find("impact"), std::string::npos);
}

TEST_F(Handlers, APlaneSpawnsInsideTheArenaTurnedByARotation)
{
    std::vector<kit::EntityHandle> players;
    for (int i = 0; i < 4; ++i) {
        players.push_back(world->createEntity());
        world->addComponent(players.back(), new PlayerInfo(playerColours()[static_cast<std::size_t>(i)], 1));
    }
    const glm::quat level(1, 0, 0, 0);
    spawnPlayer(players[0], glm::vec3(0, arena::top + arena::margin + 1.0f, 0), level);
    spawnPlayer(players[1], glm::vec3(notANumber, 0, 0), level);
    spawnPlayer(players[2], glm::vec3(0), glm::quat(0, 0, 0, 0));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(world->getComponent<kit::Transform>(players[static_cast<std::size_t>(i)].id), nullptr) << i;
    spawnPlayer(players[3], glm::vec3(arena::right, arena::bottom, 0), glm::quat(0, 0, 0, 2));
    const auto* placed = world->getComponent<kit::Transform>(players[3].id);
    ASSERT_NE(placed, nullptr);
    EXPECT_NEAR(glm::length(placed->rotation), 1.0f, 1e-6f);
}

TEST_F(Handlers, APlanesCopyMayNotSendItFarOutOfTheArenaOrTooFast)
{
    const kit::EntityHandle player{kit::EntityID{0x7777, 1}, world.get()};
    world->addComponent(player, new PlayerInfo(playerColours()[0], 1));
    spawnPlayer(player, glm::vec3(0), glm::quat(1, 0, 0, 0));
    auto* place = world->getComponent<kit::Transform>(player.id);
    auto* flight = world->getComponent<kit::RigidBody>(player.id);
    ASSERT_TRUE(place && flight);
    auto transformRecord = [](glm::vec3 at) {
        kit::NetStream s;
        for (float f : {at.x, at.y, at.z, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f})
            s.write(f);
        s.writing = false;
        return s;
    };
    kit::NetStream far = transformRecord(glm::vec3(arena::right + arena::margin + 1.0f, 0, 0));
    place->serialize(far);
    EXPECT_EQ(place->position, glm::vec3(0));
    kit::NetStream near = transformRecord(glm::vec3(arena::right + 10.0f, arena::bottom - 10.0f, 0));
    place->serialize(near);
    EXPECT_EQ(place->position, glm::vec3(arena::right + 10.0f, arena::bottom - 10.0f, 0));

    kit::NetStream fast;
    for (float f : {0.0f, 9000.0f, 0.0f, 1.0f})
        fast.write(f);
    fast.writing = false;
    flight->serialize(fast);
    EXPECT_NEAR(flight->velocity.y, arena::fastestPlane, 1e-2f);
}

TEST_F(Handlers, ACopyFiresOnlyFromItsOwnPlanes)
{
    const PlaneRig mine = PlaneRig::build(*world, glm::vec3(0));
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0, 30, 0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    auto bullets = [&] { return world->getEntities(kit::typeId<Bullet>())->size(); };
    // Another copy's bullet in the name of this copy's plane, or of a third copy's.
    network->callFunction(fn::spawnBullet, kit::EntityID{0xBAD, 10}, "models/quad.obj", "images/bullet.png",
                          mine.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(50, 50, 0), glm::vec2(10, 0));
    network->callFunction(fn::spawnBomb, kit::EntityID{0xBAD, 11}, "models/smallBomb/smallBomb.obj",
                          kit::EntityID{0xC0FFEE, 1}, 0.0f, 20.0f, 10.0f, 2.0f, 15.0f, glm::vec3(50, 50, 0),
                          glm::vec2(0));
    EXPECT_EQ(bullets(), 0u);
    EXPECT_FALSE(world->entities.contains(kit::EntityID{0xBAD, 11}));
    network->callFunction(fn::spawnBullet, kit::EntityID{0xBAD, 12}, "models/quad.obj", "images/bullet.png",
                          theirs.entity.id, 5.0f, 1.0f, 2.0f, glm::vec3(50, 50, 0), glm::vec2(10, 0));
    EXPECT_EQ(bullets(), 1u);
}

TEST_F(Handlers, ABombRackIsMadeByItsPlanesCopy)
{
    const PlaneRig theirs = PlaneRig::build(*world, glm::vec3(0), glm::vec3(1, 0, 0), kit::EntityID{0xBAD, 3});
    network->callFunction(fn::spawnBombSpawner, theirs.entity, kit::EntityID{0xC0FFEE, 4});
    EXPECT_FALSE(world->entities.contains(kit::EntityID{0xC0FFEE, 4}));
    network->callFunction(fn::spawnBombSpawner, theirs.entity, kit::EntityID{0xBAD, 4});
    EXPECT_NE(world->getComponent<kit::Transform>(kit::EntityID{0xBAD, 4}), nullptr);
}

TEST_F(Handlers, PickUpsAppearInTheArenaAndAnyPlanesCopyMayTakeThem)
{
    const kit::EntityHandle away = world->createEntity();
    network->callFunction(fn::spawnPowerup, away, glm::vec3(0, 5000, 0), PowerEnum::gatling);
    EXPECT_FALSE(world->entityHasTag(away.id, kit::tagId("pickUpItem")));
    const kit::EntityHandle item = world->createEntity();
    network->callFunction(fn::spawnPowerup, item, glm::vec3(10, 10, 0), PowerEnum::gatling);
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId("pickUpItem")));
    EXPECT_TRUE(world->entityHasTag(item.id, kit::tagId(std::string(kit::sharedLabel))));
    const PlaneRig plane = PlaneRig::build(*world, glm::vec3(0));
    network->callFunction(fn::grantPower, plane.entity, glm::vec3(notANumber), PowerEnum::bomb);
    EXPECT_EQ(world->getComponent<BombPower>(plane.entity.id), nullptr);
}
