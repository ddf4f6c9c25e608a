#pragma once

#include "game/input/VirtualGamepad.h"

namespace skyscuffle {

// A keyboard player's gamepad, by the bindings of its set of keys (see
// controls::KeyBindings): the first player's by default arrows or WASD steer,
// Z dash, X basic gun, C shotgun or bomb, 1 to 4 taunts, V ping; the second
// player's IJKL, U, O, P, 7 to 0 and M. Reads the keyboard of its world. In a
// match, the gun may fire by itself (see AutoFire).
class VirtualGamepadKeyboard : public VirtualGamepad {
public:
    explicit VirtualGamepadKeyboard(int keySet = 0);

    [[nodiscard]] bool isButtonDown(int button) const override;
    [[nodiscard]] bool isButtonHeld(int button) const override;
    // The set's choice ("tuning.input.autoFire.keyboard1" or "...keyboard2").
    [[nodiscard]] bool autoFire() const override;
    [[nodiscard]] glm::vec2 direction() const override;
    [[nodiscard]] VirtualGamepad* clone() const override;

    int keySet; // 0 the first keyboard player's, 1 the second's

private:
    [[nodiscard]] bool keyDown(int key) const;
};

} // namespace skyscuffle
