#include "GlfwJoystickDriver.h"

#include <GLFW/glfw3.h>

namespace kit {

std::unique_ptr<JoystickDriver> makeGlfwJoystickDriver()
{
    return std::make_unique<GlfwJoystickDriver>();
}

bool GlfwJoystickDriver::isPresent(int slot)
{
    return glfwJoystickPresent(slot) == GLFW_TRUE;
}

void GlfwJoystickDriver::read(int slot, std::vector<float>& axes, std::vector<unsigned char>& buttons)
{
    GLFWgamepadstate pad;
    if (glfwJoystickIsGamepad(slot) && glfwGetGamepadState(slot, &pad)) {
        // Xbox 360 layout: axes left x, left y, triggers, right y, right x (y
        // down positive); buttons A B X Y LB RB back start LS RS, then the
        // directional pad up, right, down, left.
        axes = {pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X], pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y],
                (pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] - pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]) * 0.5f,
                pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y], pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X]};
        const unsigned char* b = pad.buttons;
        buttons = {b[GLFW_GAMEPAD_BUTTON_A],          b[GLFW_GAMEPAD_BUTTON_B],
                   b[GLFW_GAMEPAD_BUTTON_X],          b[GLFW_GAMEPAD_BUTTON_Y],
                   b[GLFW_GAMEPAD_BUTTON_LEFT_BUMPER], b[GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER],
                   b[GLFW_GAMEPAD_BUTTON_BACK],       b[GLFW_GAMEPAD_BUTTON_START],
                   b[GLFW_GAMEPAD_BUTTON_LEFT_THUMB], b[GLFW_GAMEPAD_BUTTON_RIGHT_THUMB],
                   b[GLFW_GAMEPAD_BUTTON_DPAD_UP],    b[GLFW_GAMEPAD_BUTTON_DPAD_RIGHT],
                   b[GLFW_GAMEPAD_BUTTON_DPAD_DOWN],  b[GLFW_GAMEPAD_BUTTON_DPAD_LEFT]};
        return;
    }

    int axisCount = 0;
    int buttonCount = 0;
    const float* rawAxes = glfwGetJoystickAxes(slot, &axisCount);
    const unsigned char* rawButtons = glfwGetJoystickButtons(slot, &buttonCount);
    axes.assign(rawAxes, rawAxes + (rawAxes ? axisCount : 0));
    buttons.assign(rawButtons, rawButtons + (rawButtons ? buttonCount : 0));
}

} // namespace kit
