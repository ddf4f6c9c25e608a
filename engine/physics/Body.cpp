#include "Body.h"

#include "Transform.h"

#include "engine/core/World.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"
#include "engine/network/stream/Received.h"
#include "engine/core/Finite.h"

#include <cmath>

namespace kit {
Body::Body(glm::vec3 velocity, float mass) : velocity(velocity), mass(mass)
{
    addClassTags<Body>("body");
    setUpdatePriority(101.0f);
}

void Body::update(float dt)
{
    integrate(dt, world ? world->getComponent<Transform>(entityId) : nullptr);
}

void Body::integrate(float dt, Transform* transform)
{
    const glm::vec3 step = (deltaVelocity * 0.5f + velocity) * dt;
    const glm::vec3 next = velocity + deltaVelocity;
    deltaVelocity = glm::vec3(0.0f);
    if (!finite(step) || !finite(next))
        return;
    if (transform) {
        const glm::vec3 moved = transform->position + step;
        if (!finite(moved))
            return;
        transform->position = moved;
    }
    velocity = next;
}

namespace {

// How a body's state travels packed: a velocity in 1/32nds of a unit a second
// (z usually 0), a mass usually 1.
const compactState::Registration packedBody{
    2,
    {"body",
     {compactState::Field::real(32.0f, 17), compactState::Field::real(32.0f, 17), compactState::Field::real(32.0f, 17),
      compactState::Field::real(64.0f, 12, 1.0f)}}};

} // namespace

void Body::serialize(NetStream& stream)
{
    if (stream.writing) {
        stream.serialize(velocity);
        stream.serialize(mass);
        return;
    }
    // Four floats, all of them sane, or nothing changes.
    if (stream.bitsLeft() < 4 * 32)
        return;
    glm::vec3 v = velocity;
    float m = mass;
    stream.serialize(v);
    stream.serialize(m);
    if (!received::finite(v) || !(m >= lightest && m <= heaviest))
        return;
    velocity = received::capped(v, receivedSpeedLimit);
    mass = m;
}

} // namespace kit
