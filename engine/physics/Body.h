#pragma once

#include "engine/core/Behavior.h"

#include <glm/vec3.hpp>

#include <string>

namespace kit {

class Transform;

// Moves its entity's Transform by a velocity. Forces add to deltaVelocity
// during the frame; the body's update applies and clears it. Replicated as
// "body": a peer's record is applied only when the velocity is finite (it is
// cut to receivedSpeedLimit) and the mass lies in [lightest, heaviest].
class Body : public Behavior {
public:
    static constexpr float lightest = 1e-3f;
    static constexpr float heaviest = 1e5f;

    explicit Body(glm::vec3 velocity = glm::vec3(0.0f), float mass = 1.0f);

    void update(float dt) override;
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "body"; }

    glm::vec3 deltaVelocity{0.0f}; // gathered this frame, already scaled by dt
    glm::vec3 velocity;            // units per second
    float mass;
    // The fastest a peer's record may make it, units per second: the
    // engine's bound, unless the game knows better for its entity.
    float receivedSpeedLimit = 10000.0f;

protected:
    // position += (deltaVelocity / 2 + velocity) * dt, moving by the average of
    // the old and the new velocity; then velocity += deltaVelocity. A step
    // that would overflow (huge but finite values) is not taken: the body
    // keeps its position and velocity, and never turns non-finite.
    void integrate(float dt, Transform* transform);
};

} // namespace kit
