#pragma once

#include "engine/core/Finite.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <optional>

// Checks for values read from a peer, which may say anything: not-a-number,
// infinities, or numbers so large that the next sum overflows. Replicated
// components and named-function handlers use them before a received value
// reaches their state, and keep their state when a check fails.
namespace kit::received {

// The engine's bound on any coordinate, speed or size a peer sends: far
// beyond a match, yet small enough that sums and products of a few such
// values stay finite.
inline constexpr float limit = 10000.0f;

// An axis-aligned box (inclusive) that received positions must lie in.
struct Box {
    glm::vec3 low{-limit};
    glm::vec3 high{limit};

    [[nodiscard]] bool contains(glm::vec3 p) const;
};

using kit::finite;
// Finite, and every component within [-bound, bound].
[[nodiscard]] bool within(float v, float bound);
[[nodiscard]] bool within(glm::vec2 v, float bound);
[[nodiscard]] bool within(glm::vec3 v, float bound);

// A rotation as a unit quaternion: returned as it is when its length is 1
// to within rounding (so an honest value arrives bit for bit), normalised
// when it is merely off, empty when it is not finite or about zero (no
// rotation at all).
[[nodiscard]] std::optional<glm::quat> rotation(glm::quat q);

// A finite vector no longer than `bound`: shortened to it, direction kept.
[[nodiscard]] glm::vec3 capped(glm::vec3 v, float bound);

} // namespace kit::received
