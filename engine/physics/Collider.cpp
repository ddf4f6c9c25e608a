#include "Collider.h"

#include "Transform.h"

#include "engine/core/World.h"

namespace kit {

Collider::Collider()
{
    addClassTags<Collider>("collider");
}

glm::vec2 Collider::collideWithEntity(EntityID other, Transform* self, Transform*& otherTransform)
{
    Collider* otherCollider = world->getComponent<Collider>(other);
    otherTransform = world->getComponent<Transform>(other);
    if (!otherCollider || !otherTransform)
        return glm::vec2(0.0f);
    return collide(otherCollider, self, otherTransform);
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
