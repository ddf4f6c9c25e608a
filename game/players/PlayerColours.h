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

// The table's row a look names: a row itself, or a row as replays recorded
// before the colours were last changed wrote it (the same name, livery and
// icon, and that row's former RGB exactly). Empty for any other look.
const PlayerTextureInfo* colourRowOf(const PlayerTextureInfo& look);

// A colour for a new player: the table shuffled with the game's generator,
// then the first row whose livery no "player" entity of the world wears.
// Empty when all six are taken.
std::optional<PlayerTextureInfo> newPlayerColour(kit::World* world);

// A player's colour as bright as it goes with the same hue (its largest
// component raised to 1), for its words and shapes over the sky.
glm::vec3 brightColour(glm::vec3 colour);

// The lowest player number from 1 up that no player of the world has.
int nextPlayerNumber(kit::World* world);

} // namespace skyscuffle
