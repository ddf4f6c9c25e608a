#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec2.hpp>

namespace kit {

// One overlap a rigid body was resolved from this frame: how far it was pushed
// out (x, y) and the entity it overlapped.
struct Contact {
    glm::vec2 separation{0.0f};
    EntityHandle other;
};

} // namespace kit
