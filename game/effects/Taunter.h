#pragma once

#include "engine/core/Behavior.h"

#include <array>

namespace skyscuffle {

// Shows a player's taunt over their plane: gamepad buttons 3 to 6, one
// taunt per press (holding a button does not repeat it).
class Taunter : public kit::Behavior {
public:
    Taunter();

    void update(float dt) override;

    std::array<bool, 4> wasDown{false, false, false, false}; // buttons 3 to 6 in the last frame
};

} // namespace skyscuffle
