#pragma once

#include "engine/resources/UniformValue.h"

namespace skyscuffle {

// The game's four directional lights, as renderer globals
// ("lights[i].direction", "lights[i].color"): the match, the screens' scenes
// and the art gallery are lit alike.
kit::UniformSet gameLights();

} // namespace skyscuffle
