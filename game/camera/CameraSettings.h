#pragma once

#include "engine/core/Setting.h"

// How the match's camera follows the planes.
namespace skyscuffle::cameraSettings {

extern const kit::Setting<float> stiffness;
extern const kit::Setting<float> damping;
extern const kit::Setting<float> targetLeading;
extern const kit::Setting<float> minDistance;

} // namespace skyscuffle::cameraSettings
