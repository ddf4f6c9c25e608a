#pragma once

#include "game/common/ArenaLayout.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

namespace skyscuffle {

// Where player i of n starts a match: on a circle whose circumference gives
// each plane 30 units, clockwise from the right as the camera sees it, the
// nose pointing away from the vertical centre line.
struct SpawnPlacement {
    glm::vec3 position;
    glm::quat rotation;
};

SpawnPlacement spawnPlacement(int index, int count);
// The same place in an arena: the circle about its spawn centre, stretched
// by its spread, every plane clear of its solid parts.
SpawnPlacement spawnPlacement(int index, int count, const ArenaLayout& layout);

} // namespace skyscuffle
