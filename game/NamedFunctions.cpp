#include "NamedFunctions.h"

#include "GameFunctions.h"
#include "PlayerInfo.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

void spawnPersistantPlayer(kit::EntityHandle entity, const PlayerTextureInfo& texture, int number)
{
    // A system entity is never a player, and neither is anything already in
    // the scene (a call naming a bullet or a wall).
    kit::World* world = entity.world;
    if (!world || entity.id.serial == 0 || world->getComponent<PlayerInfo>(entity.id) ||
        world->entityHasTag(entity.id, kit::tagId("transform")))
        return;
    auto* info = new PlayerInfo(texture, static_cast<std::uint32_t>(number));
    info->addTag(kit::tagId("persistant"));
    world->addComponent(entity, info);
    // Players of every copy are found by this label (targets, colours, announcements).
    if (!world->entityHasTag(entity.id, kit::tagId("player"))) {
        auto* label = new kit::Label("player");
        label->addTag(kit::tagId("persistant"));
        world->addComponent(entity, label);
    }
}

void registerStartupFunctions(kit::NetworkSystem& network)
{
    network.registerFunction(fn::spawnPersistantPlayer, &spawnPersistantPlayer);
}
