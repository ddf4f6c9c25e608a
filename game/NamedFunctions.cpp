#include "NamedFunctions.h"

#include "PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

void spawnPersistantPlayer(kit::EntityHandle entity, const PlayerTextureInfo& texture, int number)
{
    if (!entity.world || entity.world->getComponent<PlayerInfo>(entity.id))
        return;
    auto* info = new PlayerInfo(texture, static_cast<std::uint32_t>(number));
    info->addTag(kit::tagId("persistant"));
    entity.world->addComponent(entity, info);
}

void registerStartupFunctions(kit::NetworkSystem& network)
{
    network.registerFunction("spawnPersistantPlayer", &spawnPersistantPlayer);
}
