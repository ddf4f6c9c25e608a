#pragma once

#include "Collider.h"

namespace kit {

// A circle centred on its entity's position.
class CircleCollider : public Collider {
public:
    explicit CircleCollider(float radius);

    glm::vec2 collideWithPolygon(PolygonCollider* other, Transform* self, Transform* otherTransform) override;
    glm::vec2 collideWithCircle(CircleCollider* other, Transform* self, Transform* otherTransform) override;
    glm::vec2 collide(Collider* other, Transform* self, Transform* otherTransform) override;

    float radius;
};

} // namespace kit
