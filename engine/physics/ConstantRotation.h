#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec3.hpp>

namespace kit {

// Spins its entity's Transform about an axis in the local frame (propellers).
class ConstantRotation : public Behavior {
public:
    ConstantRotation(glm::vec3 axis, float speed);

    void update(float dt) override;

    float speed;    // radians per second
    glm::vec3 axis; // used as given, not normalised
};

} // namespace kit
