#pragma once

#include "game/input/VirtualGamepad.h"

#include <array>

using namespace skyscuffle;

namespace test {

// A gamepad whose stick and buttons a test sets directly.
class FakeGamepad : public VirtualGamepad {
public:
    [[nodiscard]] bool isButtonDown(int button) const override
    {
        return button >= 0 && button < buttonCount && held[static_cast<std::size_t>(button)];
    }
    [[nodiscard]] glm::vec2 direction() const override { return stick; }
    [[nodiscard]] VirtualGamepad* clone() const override { return detached(new FakeGamepad(*this)); }

    std::array<bool, buttonCount> held{};
    glm::vec2 stick{0.0f};
};

} // namespace test
