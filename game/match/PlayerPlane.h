#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

namespace skyscuffle {

// "spawnPlayer": turns a joined player's entity into its plane (flight,
// health, score, its colour's look, a computer pilot for a computer player)
// and builds its propeller, shadow and basic gun (and its AutoFire, on the
// copy that flies it). Every copy builds every plane; the player's own copy
// drives it. A call naming an entity that is no player here, or one that
// already flies, does nothing.
void spawnPlayer(kit::EntityHandle player, glm::vec3 position, glm::quat rotation);

} // namespace skyscuffle
