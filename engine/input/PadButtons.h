#pragma once

// The joystick service's logical buttons (Joystick::ButtonInfo::button),
// named as on an Xbox-layout pad; any other pad's buttons are read into the
// same places.
namespace kit::pad {

enum Button : int {
    a = 0,
    b = 1,
    x = 2,
    y = 3,
    leftShoulder = 4,
    rightShoulder = 5,
    back = 8,
    start = 9,
    leftStick = 10, // pressed in
    rightStick = 11,
    up = 12,
    right = 13,
    down = 14,
    left = 15,
};

} // namespace kit::pad
