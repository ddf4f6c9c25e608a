#pragma once

#include "Collider.h"

#include <vector>

namespace kit {

// A convex polygon whose vertices are relative to its entity's position. The
// Transform's rotation and scale are not applied: the orientation is fixed
// when the polygon is built.
class PolygonCollider : public Collider {
public:
    // The rectangle with corners (x, y), (x + width, y), (x + width, y + height),
    // (x, y + height), each scaled and then turned by angle (radians) about the origin.
    PolygonCollider(float x, float y, float width, float height, float scaleX = 1.0f, float scaleY = 1.0f,
                    float angle = 0.0f);
    explicit PolygonCollider(std::vector<glm::vec2> vertices);

    glm::vec2 collideWithPolygon(PolygonCollider* other, Transform* self, Transform* otherTransform) override;
    glm::vec2 collideWithCircle(CircleCollider* other, Transform* self, Transform* otherTransform) override;
    glm::vec2 collide(Collider* other, Transform* self, Transform* otherTransform) override;

    std::vector<glm::vec2> vertices; // in order around the polygon
};

} // namespace kit
