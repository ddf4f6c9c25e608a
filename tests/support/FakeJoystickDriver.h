#pragma once

#include "engine/input/JoystickDriver.h"

#include <array>
#include <vector>

namespace test {

// Joystick hardware under the test's control: plug devices into slots and set
// their axes and buttons. Counts presence checks per slot.
class FakeJoystickDriver : public kit::JoystickDriver {
public:
    struct Device {
        bool present = false;
        std::vector<float> axes;
        std::vector<unsigned char> buttons;
    };

    bool isPresent(int slot) override
    {
        ++presenceChecks[static_cast<std::size_t>(slot)];
        return devices[static_cast<std::size_t>(slot)].present;
    }
    void read(int slot, std::vector<float>& axes, std::vector<unsigned char>& buttons) override
    {
        axes = devices[static_cast<std::size_t>(slot)].axes;
        buttons = devices[static_cast<std::size_t>(slot)].buttons;
    }

    // An Xbox 360 pad as the button tables expect it: 5 axes, 14 buttons.
    Device& plugXboxPad(int slot)
    {
        auto& d = devices[static_cast<std::size_t>(slot)];
        d = Device{true, std::vector<float>(5, 0.0f), std::vector<unsigned char>(14, 0)};
        return d;
    }
    Device& plugGeneric(int slot, int axes, int buttons)
    {
        auto& d = devices[static_cast<std::size_t>(slot)];
        d = Device{true, std::vector<float>(static_cast<std::size_t>(axes), 0.0f),
                   std::vector<unsigned char>(static_cast<std::size_t>(buttons), 0)};
        return d;
    }

    std::array<Device, 16> devices;
    std::array<int, 16> presenceChecks{};
};

} // namespace test
