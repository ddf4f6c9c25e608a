#pragma once

#include <memory>
#include <vector>

namespace kit {

// The joystick hardware as the poll sees it: presence, axes and buttons of one
// slot (0 to 15). The game reads GLFW through GlfwJoystickDriver; tests feed
// their own values through a driver of their own, so the poll logic they
// exercise is the real one.
class JoystickDriver {
public:
    virtual ~JoystickDriver() = default;

    [[nodiscard]] virtual bool isPresent(int slot) = 0;
    // Fills axes (-1 to 1) and buttons (1 pressed, 0 released) of a present slot.
    virtual void read(int slot, std::vector<float>& axes, std::vector<unsigned char>& buttons) = 0;
};

// The driver backed by GLFW's joystick functions.
std::unique_ptr<JoystickDriver> makeGlfwJoystickDriver();

} // namespace kit
