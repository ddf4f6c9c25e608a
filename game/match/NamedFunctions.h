#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/core/EntityHandle.h"

namespace kit {
class NetworkSystem;
}

// "spawnPersistantPlayer": gives the entity a PlayerInfo made from the colour
// row and the number, tagged "persistant", unless it has one already (so
// announcing a player twice changes nothing).
void spawnPersistantPlayer(kit::EntityHandle entity, const PlayerTextureInfo& texture, int number);

// Registers the named functions that exist for the whole run.
void registerStartupFunctions(kit::NetworkSystem& network);
