#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <string>

namespace skyscuffle {

namespace fn {
// The taunt's text, shown at the plane.
inline constexpr kit::NamedFunction<std::string> spawnTaunt{"spawnTaunt"};
} // namespace fn

// The text of taunt 1 to 4 (tuning "tuning.taunts.taunt<n>").
std::string tauntText(int number);

// "spawnTaunt": the text shown for three seconds where the plane is now (it
// does not follow the plane), in the player's colour, at the player's text
// size (TextScale.h) in as many lines as fit the camera's closest view, moved
// only as far as it takes to stay in the view. A text longer than 80
// characters, or with any but printable ASCII, is refused.
void spawnTaunt(kit::EntityHandle plane, const std::string& text);

} // namespace skyscuffle
