#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "game/NamedFunctions.h"
#include "game/PlayerInfo.h"

#include <gtest/gtest.h>

TEST(SpawnPersistantPlayer, CreatesThePlayerRecordOnceAndKeepsIt)
{
    kit::World world;
    auto* network = new kit::NetworkSystem(30.0f);
    world.addComponent(kit::EntityHandle{kit::systemEntity(), &world}, network);
    registerStartupFunctions(*network);

    const PlayerTextureInfo blue{"Blue", "models/playerPlane/playerFinalTexture.png", "sprites/HUD/plane3.png",
                                 glm::vec3(0.3f, 0.6f, 0.8f)};
    const PlayerTextureInfo red{"Red", "models/playerPlane/player_texture_red.png", "sprites/HUD/plane6.png",
                                glm::vec3(0.8f, 0.4f, 0.3f)};
    const kit::EntityHandle player = world.createEntity();
    testing::internal::CaptureStdout();
    network->callFunction("spawnPersistantPlayer", player, blue, 3);
    network->callFunction("spawnPersistantPlayer", player, red, 4); // already known: nothing changes
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // the world is not started: no hooks ran

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
