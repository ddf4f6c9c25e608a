#pragma once

#include "game/powerups/PowerEnum.h"

#include <glm/vec3.hpp>

#include <string>
#include <vector>

namespace skyscuffle {

// What each kind of pick-up looks like and is labelled.
struct PowerKind {
    std::string sprite;              // the pick-up's picture
    std::vector<std::string> labels; // besides "pickUpItem", "cameraFocus" and "gameSpace"
    glm::vec3 burstColour;           // of the burst when it is taken
};

// The kind's row; null for numbers outside 0 to 5.
const PowerKind* powerKind(PowerEnum kind);

} // namespace skyscuffle
