#include "CircleCollider.h"

#include "PolygonCollider.h"
#include "Separation.h"
#include "Transform.h"

namespace kit {

CircleCollider::CircleCollider(float radius) : radius(radius)
{
    addClassTags<CircleCollider>("circleCollider");
}

glm::vec2 CircleCollider::collide(Collider* other, Transform* self, Transform* otherTransform)
{
    return -other->collideWithCircle(this, otherTransform, self);
}

glm::vec2 CircleCollider::collideWithPolygon(PolygonCollider* other, Transform* self, Transform* otherTransform)
{
    // The polygon computes the pair; its answer is the negation of ours.
    return -other->collideWithCircle(this, otherTransform, self);
}

glm::vec2 CircleCollider::collideWithCircle(CircleCollider* other, Transform* self, Transform* otherTransform)
{
    if (!resolveTransforms(other, self, otherTransform))
        return glm::vec2(0.0f);
    return separation::circles(glm::vec2(self->position), radius, glm::vec2(otherTransform->position), other->radius);
}

} // namespace kit
