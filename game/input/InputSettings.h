#pragma once

#include "engine/core/Setting.h"

// How the players' sticks are read.
namespace skyscuffle::inputSettings {

extern const kit::Setting<float> deadZone;

} // namespace skyscuffle::inputSettings
