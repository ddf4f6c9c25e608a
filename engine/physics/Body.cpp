#include "Body.h"

#include "Transform.h"

#include "engine/core/World.h"
#include "engine/network/stream/NetStream.h"

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
    if (transform)
        transform->position += (deltaVelocity * 0.5f + velocity) * dt;
    velocity += deltaVelocity;
    deltaVelocity = glm::vec3(0.0f);
}

void Body::serialize(NetStream& stream)
{
    stream.serialize(velocity);
    stream.serialize(mass);
}

} // namespace kit
