#include "JoystickManager.h"

#include "engine/core/Window.h"

namespace kit {

JoystickManager::JoystickManager(Window& window, std::unique_ptr<JoystickDriver> driver) : driver_(std::move(driver))
{
    for (int id = 0; id < slotCount; ++id) {
        auto& joystick = joysticks_[static_cast<std::size_t>(id)];
        joystick = std::make_unique<Joystick>(id, *driver_);
        connections_.emplace_back(joystick->buttonPressed.connect([this](Joystick::ButtonInfo i) { buttonPressed(i); }));
        connections_.emplace_back(
            joystick->buttonReleased.connect([this](Joystick::ButtonInfo i) { buttonReleased(i); }));
        connections_.emplace_back(joystick->moved.connect([this](Joystick::AxisInfo i) { moved(i); }));
    }
    connections_.emplace_back(window.frame.connect([this] { update(); }));
}

JoystickManager::~JoystickManager() = default;

void JoystickManager::update()
{
    for (int id = 0; id < slotCount; ++id) {
        Joystick& joystick = *joysticks_[static_cast<std::size_t>(id)];
        const bool present = joystick.update();
        bool& wasConnected = connected_[static_cast<std::size_t>(id)];
        if (!wasConnected && present)
            connected(&joystick);
        else if (wasConnected && !present)
            disconnected(&joystick);
        wasConnected = present;
    }
}

} // namespace kit
