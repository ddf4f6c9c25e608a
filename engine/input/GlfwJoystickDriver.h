#pragma once

#include "JoystickDriver.h"

namespace kit {

// Reads joysticks through GLFW. A device that GLFW recognises as a gamepad (it
// has a mapping for it) is presented in the layout of an Xbox 360 pad as the
// game's button tables expect it, 5 axes and 14 buttons, whatever the platform
// reports raw; any other device is passed through as GLFW reports it.
class GlfwJoystickDriver : public JoystickDriver {
public:
    [[nodiscard]] bool isPresent(int slot) override;
    void read(int slot, std::vector<float>& axes, std::vector<unsigned char>& buttons) override;
};

} // namespace kit
