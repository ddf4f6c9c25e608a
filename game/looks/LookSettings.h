#pragma once

#include "engine/core/Setting.h"

// How the match's models are drawn.
namespace skyscuffle::lookSettings {

extern const kit::Setting<float> lowDetailBelowPixels;

} // namespace skyscuffle::lookSettings
