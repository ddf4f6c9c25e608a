#pragma once

#include "engine/core/Setting.h"

// How textures are filtered.
namespace kit::resourceSettings {

extern const Setting<int> trilinear;

} // namespace kit::resourceSettings
