#pragma once

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

namespace skyscuffle {

// The rotation taking unit vector `from` to unit vector `to` the short way
// round; the identity when they are (nearly) equal or opposite.
inline glm::quat shortestArc(glm::vec3 from, glm::vec3 to)
{
    const glm::vec3 axis = glm::cross(from, to);
    const float cosine = glm::dot(from, to);
    if (glm::dot(axis, axis) < 1e-12f)
        return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    return glm::normalize(glm::quat(1.0f + cosine, axis.x, axis.y, axis.z));
}

} // namespace skyscuffle
