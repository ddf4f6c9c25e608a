#pragma once

#include "game/input/VirtualGamepad.h"

namespace skyscuffle {

class ArtificialIntelligence;

// A computer pilot's gamepad: reports the stick and the first three buttons of
// its ArtificialIntelligence component; taunts and pings are never pressed.
class VirtualGamepadAI : public VirtualGamepad {
public:
    explicit VirtualGamepadAI(ArtificialIntelligence* ai);

    [[nodiscard]] bool isButtonDown(int button) const override;
    [[nodiscard]] glm::vec2 direction() const override;
    [[nodiscard]] VirtualGamepad* clone() const override;

    ArtificialIntelligence* ai;
};

} // namespace skyscuffle
