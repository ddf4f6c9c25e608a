#include "Separation.h"

#include <glm/geometric.hpp>

#include <cmath>
#include <limits>

namespace kit::separation {
namespace {

struct Interval {
    float min;
    float max;
};

Interval project(std::span<const glm::vec2> points, glm::vec2 axis, glm::vec2 shift = glm::vec2(0.0f))
{
    float first = glm::dot(points[0] + shift, axis);
    Interval range{first, first};
    for (std::size_t i = 1; i < points.size(); ++i) {
        const float v = glm::dot(points[i] + shift, axis);
        if (v < range.min)
            range.min = v;
        else if (v > range.max)
            range.max = v;
    }
    return range;
}

// The overlap of `other` against `self` along one axis: the smaller of the two
// pushes that separate them (on a tie, other.max - self.min). Zero when apart
// or touching; `apart` tells the two cases of zero apart.
float overlap(Interval self, Interval other, bool& apart)
{
    apart = other.max < self.min || self.max < other.min;
    if (apart)
        return 0.0f;
    float o = other.min - self.max;
    if (std::fabs(other.max - self.min) <= std::fabs(o))
        o = other.max - self.min;
    return o;
}

// v scaled to length 1; false when v has no direction (zero, or not finite).
bool unit(glm::vec2 v, glm::vec2& out)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    if (!(length > 0.0f) || !std::isfinite(length))
        return false;
    out = v / length;
    return true;
}

// The unit normal (-e.y, e.x) of the edge e from `from` to `to`; false for a
// zero-length edge.
bool edgeNormal(glm::vec2 from, glm::vec2 to, glm::vec2& normal)
{
    const glm::vec2 e = to - from;
    return unit(glm::vec2(-e.y, e.x), normal);
}

// Squared largest distance of a vertex from the shape's origin: the polygon
// lies inside the circle of that radius.
float reachSquared(std::span<const glm::vec2> points)
{
    float r2 = 0.0f;
    for (const glm::vec2& p : points)
        r2 = std::max(r2, p.x * p.x + p.y * p.y);
    return r2;
}

// True when two shapes inside circles of squared radii r1 and r2 around points
// `offset` apart cannot touch. (a + b)^2 <= 2 (a^2 + b^2), so the test needs no
// square root; it is looser than the exact one but rules out the far pairs,
// which are most pairs. Shapes it lets through get the full test.
bool surelyApart(glm::vec2 offset, float r1, float r2)
{
    return glm::dot(offset, offset) > 2.0f * (r1 + r2);
}

// Huge but finite shapes or distances can overflow on the way: a result
// that is not finite is no separation anyone can act on.
glm::vec2 finiteOrNone(glm::vec2 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) ? v : glm::vec2(0.0f);
}

struct Best {
    float push = std::numeric_limits<float>::max();
    glm::vec2 axis{0.0f};

    void offer(float o, glm::vec2 n)
    {
        if (std::fabs(o) < std::fabs(push)) {
            push = o;
            axis = n;
        }
    }
    [[nodiscard]] glm::vec2 result() const { return finiteOrNone(axis * push); }
};

} // namespace

glm::vec2 circles(glm::vec2 a, float radiusA, glm::vec2 b, float radiusB)
{
    const glm::vec2 v = a - b;
    if (v.x == 0.0f && v.y == 0.0f)
        return glm::vec2(0.0f);
    const float dist = std::sqrt(v.x * v.x + v.y * v.y);
    const float reachBoth = radiusA + radiusB;
    if (dist < reachBoth)
        return finiteOrNone(v / dist * (reachBoth - dist));
    return glm::vec2(0.0f);
}

glm::vec2 polygons(std::span<const glm::vec2> a, std::span<const glm::vec2> b, glm::vec2 offset)
{
    if (a.size() < 2 || b.size() < 2)
        return glm::vec2(0.0f);
    // Shapes whose enclosing circles are apart cannot overlap: every axis
    // below would find them apart too, so the answer is the same, sooner.
    if (surelyApart(offset, reachSquared(a), reachSquared(b)))
        return glm::vec2(0.0f);

    Best best;
    for (std::span<const glm::vec2> shape : {a, b}) {
        for (std::size_t i = 0; i < shape.size(); ++i) {
            glm::vec2 n;
            if (!edgeNormal(shape[i == 0 ? shape.size() - 1 : i - 1], shape[i], n))
                continue;
            bool apart = false;
            const float o = overlap(project(a, n), project(b, n, offset), apart);
            if (apart || o == 0.0f)
                return glm::vec2(0.0f);
            best.offer(o, n);
        }
    }
    return best.result();
}

glm::vec2 polygonCircle(std::span<const glm::vec2> polygon, glm::vec2 offset, float radius)
{
    if (polygon.size() < 2)
        return glm::vec2(0.0f);
    if (surelyApart(offset, reachSquared(polygon), radius * radius))
        return glm::vec2(0.0f);

    Best best;
    auto test = [&](glm::vec2 n) {
        const float c = glm::dot(offset, n);
        bool apart = false;
        const float o = overlap(project(polygon, n), Interval{c - radius, c + radius}, apart);
        if (apart || o == 0.0f)
            return false;
        best.offer(o, n);
        return true;
    };

    for (std::size_t i = 0; i < polygon.size(); ++i) {
        glm::vec2 n;
        if (edgeNormal(polygon[i == 0 ? polygon.size() - 1 : i - 1], polygon[i], n) && !test(n))
            return glm::vec2(0.0f);
    }

    // The axis from the circle's centre to the nearest vertex (the first of equals).
    std::size_t nearest = 0;
    float nearestDistance = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const glm::vec2 v = polygon[i] - offset;
        const float d2 = v.x * v.x + v.y * v.y;
        if (d2 < nearestDistance) {
            nearestDistance = d2;
            nearest = i;
        }
    }
    glm::vec2 toVertex;
    if (unit(polygon[nearest] - offset, toVertex) && !test(toVertex))
        return glm::vec2(0.0f);
    return best.result();
}

} // namespace kit::separation
