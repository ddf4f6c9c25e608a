#pragma once

#include "engine/core/Setting.h"

// How the match's models and the words over everything are drawn.
namespace skyscuffle::lookSettings {

extern const kit::Setting<float> lowDetailBelowPixels;
extern const kit::Setting<int> textSize;

} // namespace skyscuffle::lookSettings
