#pragma once

#include "game/input/VirtualGamepad.h"

#include <array>

using namespace skyscuffle;

namespace test {

// A gamepad whose stick and buttons a test sets directly; a player's, so
// that with `autoFires` its plane's AutoFire fires its gun.
class FakeGamepad : public VirtualGamepad {
public:
    [[nodiscard]] bool isButtonDown(int button) const override { return flown(button, isButtonHeld(button)); }
    [[nodiscard]] bool isButtonHeld(int button) const override
    {
        return button >= 0 && button < buttonCount && held[static_cast<std::size_t>(button)];
    }
    [[nodiscard]] bool autoFire() const override { return autoFires; }
    [[nodiscard]] glm::vec2 direction() const override { return stick; }
    [[nodiscard]] VirtualGamepad* clone() const override { return detached(new FakeGamepad(*this)); }

    std::array<bool, buttonCount> held{};
    bool autoFires = false;
    glm::vec2 stick{0.0f};
};

} // namespace test
