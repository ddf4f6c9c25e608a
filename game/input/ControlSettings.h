#pragma once

#include "KeyBindings.h"

#include "engine/core/Setting.h"

#include <string>

// The keyboard players' keys: for each of the two sets on one keyboard, the
// key name of every action ("" for none).
namespace skyscuffle::controls {

const kit::Setting<std::string>& binding(int set, Action action);

} // namespace skyscuffle::controls
