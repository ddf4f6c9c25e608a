#pragma once

#include "engine/core/Signal.h"

#include <glm/vec2.hpp>

#include <map>
#include <vector>

namespace kit {

class JoystickDriver;

// One joystick slot (0 to 15), polled once per frame. Buttons are reported by
// logical number, in the order of an Xbox 360 pad: 0 A, 1 B, 2 X, 3 Y,
// 4 left shoulder, 5 right shoulder, 8 back, 9 start, 10 and 11 stick presses,
// 12 to 15 the directional pad up, right, down, left. Events fire on change only.
class Joystick {
public:
    struct ButtonInfo {
        Joystick* joystick = nullptr;
        int button = 0; // logical button
    };
    struct AxisInfo {
        Joystick* joystick = nullptr;
        glm::vec2 value{0.0f}; // new position of one stick
    };

    static constexpr int logicalButtonCount = 16;
    static constexpr int presenceInterval = 16; // frames between presence checks

    Joystick(int id, JoystickDriver& driver);
    Joystick(const Joystick&) = delete;
    Joystick& operator=(const Joystick&) = delete;

    // The per-frame poll; returns whether the joystick is present.
    bool update();

    // The last known state of a logical button; one never seen reads as not pressed.
    [[nodiscard]] bool isButtonDown(int logical) const;
    // The last known position of a stick; a missing stick reads as (0, 0).
    [[nodiscard]] glm::vec2 stick(std::size_t index) const;

    // The GLFW button index read for a logical button on either kind of device (-1: never read).
    [[nodiscard]] static int physicalButton(bool xboxPad, int logical);

    Signal<void(ButtonInfo)> buttonPressed;
    Signal<void(ButtonInfo)> buttonReleased;
    Signal<void(AxisInfo)> moved;

    int id;
    bool present = false;
    bool isXboxPad = false;
    int presenceCountdown;
    std::map<int, bool> buttons;
    std::vector<glm::vec2> sticks;

private:
    void pollButtons();
    void pollSticks();

    JoystickDriver& driver_;
    std::vector<float> axes_;
    std::vector<unsigned char> rawButtons_;
};

} // namespace kit
