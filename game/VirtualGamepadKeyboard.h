#pragma once

#include "VirtualGamepad.h"

// The keyboard player's gamepad: arrows or WASD steer; Z dash, X basic gun,
// C shotgun or bomb, 1 to 4 taunts, V ping. Reads the keyboard of its world.
class VirtualGamepadKeyboard : public VirtualGamepad {
public:
    VirtualGamepadKeyboard();

    [[nodiscard]] bool isButtonDown(int button) const override;
    [[nodiscard]] glm::vec2 direction() const override;
    [[nodiscard]] VirtualGamepad* clone() const override;

private:
    [[nodiscard]] bool keyDown(int key) const;
};
