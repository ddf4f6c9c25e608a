#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

namespace kit {
class NetworkSystem;
}

namespace skyscuffle {

namespace fn {
// Colour row, player number.
inline constexpr kit::NamedFunction<PlayerTextureInfo, int> spawnPersistantPlayer{"spawnPersistantPlayer"};
// Every copy announces its players again.
inline constexpr kit::NamedFunction<> requestPlayers{"requestPlayers"};
} // namespace fn

// "spawnPersistantPlayer": gives the entity a PlayerInfo made from the colour
// row and the number, tagged "persistant", unless it has one already (so
// announcing a player twice changes nothing).
void spawnPersistantPlayer(kit::EntityHandle entity, const PlayerTextureInfo& texture, int number);

// Registers the named functions that exist for the whole run (players come
// and go in the lobby as in a match), and names what the game takes away by
// name everywhere.
void registerPlayerFunctions(kit::NetworkSystem& network);

} // namespace skyscuffle
