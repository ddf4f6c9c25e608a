#include "VirtualGamepadKeyboard.h"

#include "game/input/InputSettings.h"
#include "game/input/KeyBindings.h"

#include "engine/core/World.h"
#include "engine/input/Keyboard.h"

namespace skyscuffle {

VirtualGamepadKeyboard::VirtualGamepadKeyboard(int keySet) : keySet(keySet)
{
    addTag(kit::typeId<VirtualGamepadKeyboard>());
}

bool VirtualGamepadKeyboard::keyDown(int key) const
{
    return key >= 0 && world && world->keyboard && world->keyboard->isKeyDown(key);
}

bool VirtualGamepadKeyboard::isButtonDown(int button) const
{
    return flown(button, isButtonHeld(button));
}

bool VirtualGamepadKeyboard::isButtonHeld(int button) const
{
    if (button < 0 || button >= buttonCount)
        return false;
    const auto action = static_cast<controls::Action>(static_cast<int>(controls::Action::dash) + button);
    return keyDown(controls::key(keySet, action));
}

bool VirtualGamepadKeyboard::autoFire() const
{
    return keySet >= 0 && keySet < inputSettings::autoFireKeyboards && inputSettings::keyboardAutoFire[keySet].value();
}

glm::vec2 VirtualGamepadKeyboard::direction() const
{
    using controls::Action;
    const auto down = [this](Action action) { return keyDown(controls::key(keySet, action)); };
    glm::vec2 d(0.0f);
    // Both keys of a direction add up: up arrow and W together make (0, 2) before limiting.
    for (Action up : {Action::up, Action::up2})
        d.y += down(up) ? 1.0f : 0.0f;
    for (Action below : {Action::down, Action::down2})
        d.y -= down(below) ? 1.0f : 0.0f;
    for (Action left : {Action::left, Action::left2})
        d.x -= down(left) ? 1.0f : 0.0f;
    for (Action right : {Action::right, Action::right2})
        d.x += down(right) ? 1.0f : 0.0f;
    return limitToUnit(d);
}

VirtualGamepad* VirtualGamepadKeyboard::clone() const
{
    return detached(new VirtualGamepadKeyboard(*this));
}

} // namespace skyscuffle
