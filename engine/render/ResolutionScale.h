#pragma once

#include <glm/vec2.hpp>

namespace kit {

// The share of the screen's width and height at which a scene is drawn
// before it is stretched over the screen: `chosen` when it is a scale
// (clamped to 0.25 .. 1), else (0 or less: automatic) 1 on a graphics card,
// and on a software renderer, which pays for every pixel on the CPU, what
// keeps the scene within `softwarePixels` pixels (never above 1, never below
// 0.25). A screen of no size draws at 1.
float resolutionScale(float chosen, bool software, glm::ivec2 screen, float softwarePixels);

} // namespace kit
