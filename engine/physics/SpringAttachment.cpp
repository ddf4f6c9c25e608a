#include "SpringAttachment.h"

#include "Body.h"
#include "Transform.h"

#include "engine/core/World.h"

#include <cmath>

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
    // F = k (anchor - own) - c v, on the local positions. A pull that would
    // overflow (an anchor or a speed out of all proportion) is not applied.
    const glm::vec3 force = stiffness * (anchor->position - own->position) - damping * body->velocity;
    const glm::vec3 next = body->deltaVelocity + force * step / body->mass;
    if (std::isfinite(next.x) && std::isfinite(next.y) && std::isfinite(next.z))
        body->deltaVelocity = next;
}

} // namespace kit
