#include "PolygonCollider.h"

#include "CircleCollider.h"
#include "Separation.h"
#include "Transform.h"

#include <cmath>

namespace kit {

PolygonCollider::PolygonCollider(float x, float y, float width, float height, float scaleX, float scaleY, float angle)
{
    addClassTags<PolygonCollider>("polygonCollider");
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    for (glm::vec2 p :
         {glm::vec2(x, y), glm::vec2(x + width, y), glm::vec2(x + width, y + height), glm::vec2(x, y + height)}) {
        vertices.emplace_back(p.x * scaleX * c - p.y * scaleY * s, p.x * scaleX * s + p.y * scaleY * c);
    }
}

PolygonCollider::PolygonCollider(std::vector<glm::vec2> points) : vertices(std::move(points))
{
    addClassTags<PolygonCollider>("polygonCollider");
}

glm::vec2 PolygonCollider::collide(Collider* other, Transform* self, Transform* otherTransform)
{
    return -other->collideWithPolygon(this, otherTransform, self);
}

glm::vec2 PolygonCollider::collideWithPolygon(PolygonCollider* other, Transform* self, Transform* otherTransform)
{
    if (!resolveTransforms(other, self, otherTransform))
        return glm::vec2(0.0f);
    const glm::vec2 offset = glm::vec2(otherTransform->position) - glm::vec2(self->position);
    return separation::polygons(vertices, other->vertices, offset);
}

glm::vec2 PolygonCollider::collideWithCircle(CircleCollider* other, Transform* self, Transform* otherTransform)
{
    if (!resolveTransforms(other, self, otherTransform))
        return glm::vec2(0.0f);
    const glm::vec2 offset = glm::vec2(otherTransform->position) - glm::vec2(self->position);
    return separation::polygonCircle(vertices, offset, other->radius);
}

} // namespace kit
