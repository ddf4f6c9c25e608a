#pragma once

#include "engine/core/Setting.h"

// How the screens between matches behave.
namespace skyscuffle::screenSettings {

extern const kit::Setting<float> loadingDelay;

} // namespace skyscuffle::screenSettings
