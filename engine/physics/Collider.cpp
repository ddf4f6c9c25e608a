#include "Collider.h"

#include "Transform.h"

#include "engine/core/World.h"

namespace kit {

Collider::Collider()
{
    addClassTags<Collider>("collider");
}

bool Collider::resolveTransforms(Component* other, Transform*& self, Transform*& otherTransform) const
{
    if (!self && world)
        self = world->getComponent<Transform>(entityId);
    if (!otherTransform && other && other->world)
        otherTransform = other->world->getComponent<Transform>(other->entityId);
    return self && otherTransform;
}

} // namespace kit
