#pragma once

#include "engine/core/Setting.h"

#include <string>

// What a match plays by, how another copy's planes glide to their records,
// and where its replay goes.
namespace skyscuffle::matchSettings {

extern const kit::Setting<float> matchLength;
extern const kit::Setting<int> pickups;
extern const kit::Setting<int> mode;
extern const kit::Setting<int> roundsToWin;
extern const kit::Setting<bool> friendlyFire;
extern const kit::Setting<int> arena;
extern const kit::Setting<bool> dropIn;
extern const kit::Setting<int> watchers;
extern const kit::Setting<float> gravity;
extern const kit::Setting<float> glideSeconds;
extern const kit::Setting<float> snapDistance;
extern const kit::Setting<float> correctionSpeed;
extern const kit::Setting<std::string> replayFile;
extern const kit::Setting<int> replaysKept;

} // namespace skyscuffle::matchSettings
