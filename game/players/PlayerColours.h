#pragma once

#include "game/players/PlayerTextureInfo.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kit {
class World;
}

namespace skyscuffle {

// The six player colours: name, plane livery, HUD icon and RGB.
const std::array<PlayerTextureInfo, 6>& playerColours();

// A colour for a new player: the table shuffled with the game's generator,
// then the first row whose livery no "player" entity of the world wears.
// Empty when all six are taken.
std::optional<PlayerTextureInfo> newPlayerColour(kit::World* world);

// The lowest player number from 1 up that no player of the world has.
int nextPlayerNumber(kit::World* world);

} // namespace skyscuffle
