#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cmath>

namespace kit {

// Whether every component is a number (neither infinite nor NaN): what a
// value read from a peer, a file or a runaway integration must be before it
// is used.
[[nodiscard]] inline bool finite(float v)
{
    return std::isfinite(v);
}

[[nodiscard]] inline bool finite(glm::vec2 v)
{
    return finite(v.x) && finite(v.y);
}

[[nodiscard]] inline bool finite(glm::vec3 v)
{
    return finite(v.x) && finite(v.y) && finite(v.z);
}

[[nodiscard]] inline bool finite(glm::quat q)
{
    return finite(q.x) && finite(q.y) && finite(q.z) && finite(q.w);
}

} // namespace kit
