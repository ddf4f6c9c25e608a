#pragma once

#include <glm/geometric.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <cmath>

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

// The direction of `v` as a unit vector; zero for a (nearly) zero vector.
inline glm::vec2 unitOrZero(glm::vec2 v)
{
    const float length = glm::length(v);
    return length > 1e-6f ? v / length : glm::vec2(0.0f);
}

// `v` turned counter-clockwise by `radians`.
inline glm::vec2 turned(glm::vec2 v, float radians)
{
    const float c = std::cos(radians), s = std::sin(radians);
    return glm::vec2(v.x * c - v.y * s, v.x * s + v.y * c);
}

} // namespace skyscuffle
