#pragma once

#include "engine/core/Setting.h"

// How the players' sticks are read, and who flies with auto-fire.
namespace skyscuffle::inputSettings {

extern const kit::Setting<float> deadZone;

// Auto-fire, each player's own choice: for each of the keyboard's two sets of
// keys, and for each pad by its joystick slot (0 to 15). See AutoFire.h.
constexpr int autoFireKeyboards = 2;
constexpr int autoFirePads = 16;
extern const kit::Setting<bool> keyboardAutoFire[autoFireKeyboards];
extern const kit::Setting<bool> padAutoFire[autoFirePads];

} // namespace skyscuffle::inputSettings
