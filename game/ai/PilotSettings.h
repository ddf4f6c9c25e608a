#pragma once

#include "engine/core/Setting.h"

#include <string>

// How strong computer pilots are.
namespace skyscuffle::pilotSettings {

extern const kit::Setting<std::string> strength;

} // namespace skyscuffle::pilotSettings
