#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

namespace skyscuffle {

class ArtificialIntelligence;

// What a computer pilot's decisions and actions read of the match: its own
// plane and the other entities, by handle, looked up afresh each time.
namespace pilot {

// The plane's position and velocity (zero when it has none).
glm::vec3 position(kit::EntityHandle entity);
glm::vec3 velocity(kit::EntityHandle entity);
// The plane's nose (its rotation applied to +Z).
glm::vec3 nose(kit::EntityHandle entity);
// Whether the entity exists here with a Transform.
bool exists(kit::EntityHandle entity);
// Whether a plane is alive and not shielded: a fair target.
bool isFairTarget(kit::EntityHandle entity);
// Seconds a shot or a dash needs to reach something at `distance` moving at
// `speed`: the lead of the prediction.
float leadTime(float distance, float speed);
// The cosine of the angle between two vectors (0 when either is zero).
float cosine(glm::vec2 a, glm::vec2 b);

} // namespace pilot

} // namespace skyscuffle
