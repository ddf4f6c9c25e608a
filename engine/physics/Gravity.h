#pragma once

#include "engine/core/Behavior.h"
#include "engine/core/Tags.h"

#include <glm/vec3.hpp>

namespace kit {

// A constant acceleration (units per second squared) for every body whose
// entity carries the given tag.
class Gravity : public Behavior {
public:
    Gravity(glm::vec3 acceleration, TagId tag);

    void update(float dt) override;

    TagSet requiredTags; // the tag, and the Body type id
    glm::vec3 acceleration;
};

} // namespace kit
