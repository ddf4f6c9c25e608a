#pragma once

#include "engine/core/Setting.h"

// How often power-ups come, how long they last and what they give.
namespace skyscuffle::powerSettings {

extern const kit::Setting<float> lifespan;
extern const kit::Setting<float> minSpawnInterval;
extern const kit::Setting<float> maxSpawnInterval;
extern const kit::Setting<float> invincibilityDuration;
extern const kit::Setting<float> invincibilityFlashRate;
extern const kit::Setting<float> speedDuration;
extern const kit::Setting<float> speedMultiplier;
extern const kit::Setting<int> gatlingGunShots;
extern const kit::Setting<int> shotgunShots;
extern const kit::Setting<int> bombs;

} // namespace skyscuffle::powerSettings
