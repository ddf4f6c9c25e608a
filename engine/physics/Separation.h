#pragma once

#include <glm/vec2.hpp>

#include <span>

// The shape tests behind the colliders. Each returns the separation vector of
// the first shape: moving it by the vector ends the overlap; (0, 0) means the
// shapes do not overlap (touching counts as apart). Positions are in the x-y
// plane; `offset` is the second shape's position minus the first's. The
// result is always finite: what would overflow counts as no overlap.
namespace kit::separation {

// Circles at a and b. Concentric circles report no overlap.
glm::vec2 circles(glm::vec2 a, float radiusA, glm::vec2 b, float radiusB);

// Convex polygons by the separating-axis test over both polygons' edge
// normals; the smallest push wins, an earlier axis keeps a tie. Edges of zero
// length have no normal and are skipped.
glm::vec2 polygons(std::span<const glm::vec2> a, std::span<const glm::vec2> b, glm::vec2 offset);

// A convex polygon against a circle whose centre lies at `offset`: the
// polygon's edge normals plus the axis from the centre to the nearest vertex.
glm::vec2 polygonCircle(std::span<const glm::vec2> polygon, glm::vec2 offset, float radius);

} // namespace kit::separation
