#pragma once

#include "engine/core/Setting.h"

// The player's volumes.
namespace skyscuffle::soundSettings {

extern const kit::Setting<float> musicVolume;
extern const kit::Setting<float> effectsVolume;

} // namespace skyscuffle::soundSettings
