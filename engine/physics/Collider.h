#pragma once

#include "engine/core/Component.h"

#include <glm/vec2.hpp>

namespace kit {

class CircleCollider;
class PolygonCollider;
class Transform;

// A 2D shape in the x-y plane, placed at its entity's Transform position.
// Every question answers with the separation vector of the collider asked:
// moving its entity by the vector ends the overlap; (0, 0) means no overlap.
// A null Transform argument stands for the collider's own entity's Transform.
class Collider : public Component {
public:
    Collider();

    virtual glm::vec2 collideWithPolygon(PolygonCollider* other, Transform* self, Transform* otherTransform) = 0;
    virtual glm::vec2 collideWithCircle(CircleCollider* other, Transform* self, Transform* otherTransform) = 0;
    // Against any collider, by double dispatch.
    virtual glm::vec2 collide(Collider* other, Transform* self, Transform* otherTransform) = 0;

    // Against another entity of the same world, through its collider and
    // Transform (returned in otherTransform); (0, 0) when it lacks either.
    glm::vec2 collideWithEntity(EntityID other, Transform* self, Transform*& otherTransform);

protected:
    // Fills in missing Transforms from the two colliders' entities; false when
    // either is still missing.
    bool resolveTransforms(Component* other, Transform*& self, Transform*& otherTransform) const;
};

} // namespace kit
