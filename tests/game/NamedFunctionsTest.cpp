#include "game/NamedFunctions.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"
#include "game/GameFunctions.h"
#include "game/PlayerInfo.h"

#include <gtest/gtest.h>

TEST(SpawnPersistantPlayer, CreatesThePlayerRecordOnceAndKeepsIt)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerStartupFunctions(*network);

    const PlayerTextureInfo blue{"Blue", "models/playerPlane/playerFinalTexture.png", "sprites/HUD/plane3.png",
                                 glm::vec3(0.3f, 0.6f, 0.8f)};
    const PlayerTextureInfo red{"Red", "models/playerPlane/player_texture_red.png", "sprites/HUD/plane6.png",
                                glm::vec3(0.8f, 0.4f, 0.3f)};
    const kit::EntityHandle player = world.createEntity();
    testing::internal::CaptureStdout();
    network->callFunction(fn::spawnPersistantPlayer, player, blue, 3);
    network->callFunction(fn::spawnPersistantPlayer, player, red, 4); // already known: nothing changes
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");            // the world is not started: no hooks ran

    auto* info = world.getComponent<PlayerInfo>(player.id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->colourName, "Blue");
    EXPECT_EQ(info->modelTexture, blue.modelTexture);
    EXPECT_EQ(info->hudIcon, blue.hudIcon);
    EXPECT_EQ(info->colour, blue.colour);
    EXPECT_EQ(info->number, 3u);
    EXPECT_TRUE(info->hasTag(kit::tagId("persistant")));
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerInfo>())->size(), 1u);
}

TEST(SpawnPersistantPlayer, EveryCopysPlayersAreLabelledPlayer)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerStartupFunctions(*network);
    const kit::EntityID remote{0x7777, 5}; // announced by another copy
    network->callFunction(fn::spawnPersistantPlayer, remote,
                          PlayerTextureInfo{"Green", "", "", glm::vec3(0.3f, 0.7f, 0.3f)}, 2);
    auto* label = world.getComponent(remote, kit::tagId("player"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->hasTag(kit::tagId("persistant"))); // it follows the player from screen to screen
    EXPECT_EQ(world.getEntities(kit::tagId("player"))->size(), 1u);
    network->callFunction(fn::spawnPersistantPlayer, remote,
                          PlayerTextureInfo{"Green", "", "", glm::vec3(0.3f, 0.7f, 0.3f)}, 2);
    EXPECT_EQ(world.componentsOf(remote)->size(), 2u); // announced again: nothing more
}

TEST(SpawnPersistantPlayer, NeitherASystemEntityNorAnythingInTheSceneBecomesAPlayer)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{world.systemEntity(), &world}, network);
    registerStartupFunctions(*network);
    network->callFunction(fn::spawnPersistantPlayer, world.systemEntity(), PlayerTextureInfo{}, 1);
    network->callFunction(fn::spawnPersistantPlayer, kit::EntityID{0x7777, 0}, PlayerTextureInfo{}, 1);
    const kit::EntityHandle bullet = world.createEntity();
    world.addComponent(bullet, new kit::Transform());
    network->callFunction(fn::spawnPersistantPlayer, bullet, PlayerTextureInfo{}, 1);
    EXPECT_EQ(world.getComponentCollection(kit::typeId<PlayerInfo>())->size(), 0u);
}
