#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec3.hpp>

#include <string>

namespace kit {

class Transform;

// Moves its entity's Transform by a velocity. Forces add to deltaVelocity
// during the frame; the body's update applies and clears it. Replicated as "body".
class Body : public Behavior {
public:
    explicit Body(glm::vec3 velocity = glm::vec3(0.0f), float mass = 1.0f);

    void update(float dt) override;
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "body"; }

    glm::vec3 deltaVelocity{0.0f}; // gathered this frame, already scaled by dt
    glm::vec3 velocity;            // units per second
    float mass;

protected:
    // position += (deltaVelocity / 2 + velocity) * dt, moving by the average of
    // the old and the new velocity; then velocity += deltaVelocity.
    void integrate(float dt, Transform* transform);
};

} // namespace kit
