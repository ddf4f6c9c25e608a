#pragma once

#include "engine/core/Setting.h"

// How planes fly: the settings the flight rules read, and what computer
// pilots read to lead their shots and judge their dashes.
namespace skyscuffle::flightSettings {

extern const kit::Setting<float> turnPower;
extern const kit::Setting<float> acceleration;
extern const kit::Setting<float> liftPower;
extern const kit::Setting<float> alignmentForce;
extern const kit::Setting<float> drift;
extern const kit::Setting<float> angularDrag;
extern const kit::Setting<float> drag;
extern const kit::Setting<float> dashDuration;
extern const kit::Setting<float> dashCooldownDuration;
extern const kit::Setting<float> dashSpeed;
extern const kit::Setting<float> mass;
extern const kit::Setting<float> dashMass;
extern const kit::Setting<float> ramRepeatDelay;
extern const kit::Setting<float> ramDamage;
extern const kit::Setting<float> antiRollBias;
extern const kit::Setting<int> glide;

} // namespace skyscuffle::flightSettings
