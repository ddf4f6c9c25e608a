#pragma once

#include "game/input/VirtualGamepad.h"

namespace kit {
class Joystick;
}

namespace skyscuffle {

// A joystick player's gamepad. Both sticks steer (their sum, y flipped so that
// up is positive, no dead zone); B or left shoulder dash, A or right shoulder
// fire, X shotgun or bomb, the directional pad taunts, Y pings. While the
// joystick is unplugged the gamepad is let go (centred stick, no button), so
// the plane glides on; it answers again as soon as the joystick is back. In a
// match, the gun may fire by itself (see AutoFire).
class VirtualGamepadJoystick : public VirtualGamepad {
public:
    explicit VirtualGamepadJoystick(kit::Joystick* joystick);

    [[nodiscard]] bool isButtonDown(int button) const override;
    [[nodiscard]] bool isButtonHeld(int button) const override;
    // The choice of the pad's slot ("tuning.input.autoFire.pad1" for slot 0).
    [[nodiscard]] bool autoFire() const override;
    [[nodiscard]] glm::vec2 direction() const override;
    [[nodiscard]] VirtualGamepad* clone() const override;

    kit::Joystick* joystick;
};

} // namespace skyscuffle
