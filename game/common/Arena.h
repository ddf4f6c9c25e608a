#pragma once

#include "engine/network/stream/Received.h"

namespace skyscuffle {

// The open play area between the walls the game world builds, in world
// units, and how far from it a plane can honestly be.
namespace arena {

inline constexpr float left = -91.5f;
inline constexpr float right = 91.5f;
inline constexpr float bottom = -51.0f;
inline constexpr float top = 81.0f;
// Room for a plane pressed into a wall, a wreck falling past the floor's
// edge or a spawn circle of many pilots: beyond it a position is nonsense.
inline constexpr float margin = 100.0f;
// The fastest a plane can go, units per second, with ample room: full
// throttle with the speed power, a dash and a blast together stay under 1000.
inline constexpr float fastestPlane = 2000.0f;

// Where a plane may be, as far as any copy is concerned (z: the play plane, give or take the margin).
inline kit::received::Box planeBounds()
{
    return kit::received::Box{{left - margin, bottom - margin, -margin}, {right + margin, top + margin, margin}};
}

} // namespace arena

} // namespace skyscuffle
