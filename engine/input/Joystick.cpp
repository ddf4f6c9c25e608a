#include "Joystick.h"

#include "JoystickDriver.h"

namespace kit {
namespace {

// GLFW button index read for each logical button.
constexpr int xboxPadButtons[Joystick::logicalButtonCount] = {0, 1, 2, 3, 4, 5, -1, -1, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr int genericButtons[Joystick::logicalButtonCount] = {1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

} // namespace

Joystick::Joystick(int id, JoystickDriver& driver) : id(id), presenceCountdown(-id), driver_(driver) {}

int Joystick::physicalButton(bool xboxPad, int logical)
{
    if (logical < 0 || logical >= logicalButtonCount)
        return -1;
    return xboxPad ? xboxPadButtons[logical] : genericButtons[logical];
}

bool Joystick::update()
{
    // The countdown starts at -id, so every slot is checked in the first frame
    // and then slot id in the frames where frame number + id is a multiple of
    // 16: no two slots are checked in the same frame.
    const int countdown = presenceCountdown--;
    if (countdown <= 0) {
        presenceCountdown = countdown + presenceInterval - 1;
        present = driver_.isPresent(id);
    }
    if (!present)
        return false;

    driver_.read(id, axes_, rawButtons_);
    isXboxPad = axes_.size() == 5 && rawButtons_.size() == 14;
    pollButtons();
    pollSticks();
    return true;
}

void Joystick::pollButtons()
{
    for (int logical = 0; logical < logicalButtonCount; ++logical) {
        const int index = physicalButton(isXboxPad, logical);
        if (index < 0 || static_cast<std::size_t>(index) >= rawButtons_.size())
            continue;
        const bool pressed = rawButtons_[static_cast<std::size_t>(index)] == 1;
        bool& known = buttons[logical];
        if (known == pressed)
            continue;
        known = pressed;
        if (pressed)
            buttonPressed(ButtonInfo{this, logical});
        else
            buttonReleased(ButtonInfo{this, logical});
    }
}

void Joystick::pollSticks()
{
    std::vector<glm::vec2> now;
    if (isXboxPad) {
        // Axis 2 carries the triggers and is not used.
        now = {glm::vec2(axes_[0], axes_[1]), glm::vec2(axes_[4], axes_[3])};
    } else {
        for (std::size_t k = 0; k + 1 < axes_.size(); k += 2)
            now.emplace_back(axes_[k], axes_[k + 1]);
    }
    sticks.resize(now.size(), glm::vec2(0.0f));
    for (std::size_t k = 0; k < now.size(); ++k) {
        if (now[k].x != sticks[k].x || now[k].y != sticks[k].y) {
            sticks[k] = now[k];
            moved(AxisInfo{this, now[k]});
        }
    }
}

bool Joystick::isButtonDown(int logical) const
{
    auto found = buttons.find(logical);
    return found != buttons.end() && found->second;
}

glm::vec2 Joystick::stick(std::size_t index) const
{
    return index < sticks.size() ? sticks[index] : glm::vec2(0.0f);
}

} // namespace kit
