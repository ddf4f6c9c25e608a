#include "SpringAttachment.h"

#include "Body.h"
#include "Transform.h"

#include "engine/core/World.h"

namespace kit {

SpringAttachment::SpringAttachment(EntityHandle target, float stiffness, float damping)
    : stiffness(stiffness), damping(damping), target(target)
{
    addClassTags<SpringAttachment>("springAttachment");
}

void SpringAttachment::update(float)
{
    constexpr float step = 1.0f / 60.0f;
    Transform* own = world->getComponent<Transform>(entityId);
    Body* body = world->getComponent<Body>(entityId);
    Transform* anchor = target.world ? target.world->getComponent<Transform>(target.id) : nullptr;
    if (!own || !body || !anchor || body->mass <= 0.0f)
        return;
    // F = k (anchor - own) - c v, on the local positions.
    const glm::vec3 force = stiffness * (anchor->position - own->position) - damping * body->velocity;
    body->deltaVelocity += force * step / body->mass;
}

} // namespace kit
