#pragma once

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

} // namespace skyscuffle
