#pragma once

#include "engine/core/Setting.h"

// The guns', the bombs' and the projectiles' settings; computer pilots read
// the guns' to lead their shots.
namespace skyscuffle::weaponSettings {

struct Gun {
    kit::Setting<float> period;   // seconds between shots
    kit::Setting<float> velocity; // a bullet's speed, units a second
    kit::Setting<float> lifespan;
    kit::Setting<float> radius;
    kit::Setting<float> damage;
};
extern const Gun basicGun;
extern const Gun gatlingGun;

struct Shotgun {
    Gun gun;
    kit::Setting<int> pellets;
    kit::Setting<float> spread;
};
extern const Shotgun shotgun;

struct Bombs {
    kit::Setting<float> period;
    kit::Setting<float> bombVelocity;
    kit::Setting<float> bombLifespan;
    kit::Setting<float> bombRadius;
    kit::Setting<float> minDamage;
    kit::Setting<float> maxDamage;
    kit::Setting<float> blastRadius;
    kit::Setting<float> velocity; // read by nothing: kept for the tuning files that name it
};
extern const Bombs bombs;

extern const kit::Setting<float> maxAlivePerCopy;
extern const kit::Setting<float> perCopyPerSecond;
extern const kit::Setting<float> perCopyBurst;
extern const kit::Setting<int> projectileLead;

} // namespace skyscuffle::weaponSettings
