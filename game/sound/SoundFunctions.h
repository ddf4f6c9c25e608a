#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <string>

namespace skyscuffle {

namespace fn {
// A sound's name, played through the sound manager of the entity's world.
inline constexpr kit::NamedFunction<std::string> playSound{"playSound"};
} // namespace fn

// "playSound": one of the game's table of sounds, played once by the sound
// manager of the entity's world. Any other name is refused: a peer never
// makes this copy open a file.
void playSound(kit::EntityHandle entity, const std::string& name);

} // namespace skyscuffle
