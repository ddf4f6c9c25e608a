#pragma once

#include "engine/core/Setting.h"

// How scenes are drawn.
namespace kit::renderSettings {

extern const Setting<bool> batching;
extern const Setting<float> resolutionScale;
extern const Setting<float> softwarePixels;

} // namespace kit::renderSettings
