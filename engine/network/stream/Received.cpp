#include "Received.h"

#include <cmath>

namespace kit::received {

bool Box::contains(glm::vec3 p) const
{
    return finite(p) && p.x >= low.x && p.y >= low.y && p.z >= low.z && p.x <= high.x && p.y <= high.y && p.z <= high.z;
}

bool within(float v, float bound)
{
    return finite(v) && std::fabs(v) <= bound;
}

bool within(glm::vec2 v, float bound)
{
    return within(v.x, bound) && within(v.y, bound);
}

bool within(glm::vec3 v, float bound)
{
    return within(v.x, bound) && within(v.y, bound) && within(v.z, bound);
}

std::optional<glm::quat> rotation(glm::quat q)
{
    if (!finite(q))
        return std::nullopt;
    // In double: the squares of any finite float cannot overflow.
    const double x = q.x, y = q.y, z = q.z, w = q.w;
    const double squared = x * x + y * y + z * z + w * w;
    if (squared < 1e-6)
        return std::nullopt;
    if (std::fabs(squared - 1.0) <= 1e-4)
        return q;
    const double length = std::sqrt(squared);
    return glm::quat(static_cast<float>(w / length), static_cast<float>(x / length), static_cast<float>(y / length),
                     static_cast<float>(z / length));
}

glm::vec3 capped(glm::vec3 v, float bound)
{
    const double x = v.x, y = v.y, z = v.z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > bound))
        return v;
    const double k = bound / length;
    return glm::vec3(static_cast<float>(x * k), static_cast<float>(y * k), static_cast<float>(z * k));
}

} // namespace kit::received
