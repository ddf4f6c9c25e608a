#pragma once

#include "Joystick.h"
#include "JoystickDriver.h"

#include "engine/core/Signal.h"

#include <array>
#include <memory>

namespace kit {

class Window;

// Owns the sixteen joystick slots, polls them on the window's frame signal and
// repeats every joystick's events on its own signals, so that one subscription
// hears every device.
class JoystickManager {
public:
    static constexpr int slotCount = 16;

    explicit JoystickManager(Window& window, std::unique_ptr<JoystickDriver> driver = makeGlfwJoystickDriver());
    JoystickManager(const JoystickManager&) = delete;
    JoystickManager& operator=(const JoystickManager&) = delete;
    ~JoystickManager();

    // Polls every slot in id order. A joystick's button and stick events of a
    // frame fire before its connected or disconnected event of the same frame.
    void update();

    [[nodiscard]] Joystick& joystick(int id) { return *joysticks_.at(static_cast<std::size_t>(id)); }
    [[nodiscard]] bool isConnected(int id) const { return connected_.at(static_cast<std::size_t>(id)); }

    Signal<void(Joystick*)> connected;
    Signal<void(Joystick*)> disconnected;
    Signal<void(Joystick::ButtonInfo)> buttonPressed;
    Signal<void(Joystick::ButtonInfo)> buttonReleased;
    Signal<void(Joystick::AxisInfo)> moved;

private:
    std::unique_ptr<JoystickDriver> driver_;
    std::array<std::unique_ptr<Joystick>, slotCount> joysticks_;
    std::array<bool, slotCount> connected_{};
    std::vector<ScopedConnection> connections_;
};

} // namespace kit
