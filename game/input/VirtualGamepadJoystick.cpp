#include "VirtualGamepadJoystick.h"

#include "InputSettings.h"

#include "engine/input/Joystick.h"
#include "engine/input/PadButtons.h"

#include <glm/geometric.hpp>

#include <algorithm>

namespace skyscuffle {

namespace {

// Logical joystick buttons for each virtual button; -1 marks "no second button".
constexpr int buttonMap[VirtualGamepad::buttonCount][2] = {
    {kit::pad::b, kit::pad::leftShoulder},  // dash
    {kit::pad::a, kit::pad::rightShoulder}, // basic gun
    {kit::pad::x, -1},                      // shotgun or bomb
    {kit::pad::up, -1},                     // the four taunts
    {kit::pad::right, -1},
    {kit::pad::down, -1},
    {kit::pad::left, -1},
    {kit::pad::y, -1}, // ping
};

// A stick's position with the player's dead zone ("tuning.joystick.deadZone",
// a fraction of the stick's throw) taken out: nothing inside it, and the rest
// of the throw stretched so that the edge still gives full steering.
glm::vec2 outsideDeadZone(glm::vec2 stick)
{
    const float zone = std::clamp(inputSettings::deadZone.value(), 0.0f, 0.9f);
    const float length = glm::length(stick);
    if (zone <= 0.0f)
        return stick;
    if (length <= zone)
        return glm::vec2(0.0f);
    return stick * ((length - zone) / (1.0f - zone) / length);
}

} // namespace

VirtualGamepadJoystick::VirtualGamepadJoystick(kit::Joystick* joystick) : joystick(joystick)
{
    addTag(kit::typeId<VirtualGamepadJoystick>());
}

bool VirtualGamepadJoystick::isButtonDown(int button) const
{
    return flown(button, isButtonHeld(button));
}

bool VirtualGamepadJoystick::isButtonHeld(int button) const
{
    // An unplugged pad keeps its last state; it must not hold a button down
    // until it comes back.
    if (!joystick || !joystick->present || button < 0 || button >= buttonCount)
        return false;
    for (int logical : buttonMap[button]) {
        if (logical >= 0 && joystick->isButtonDown(logical))
            return true;
    }
    return false;
}

bool VirtualGamepadJoystick::autoFire() const
{
    return joystick && joystick->id >= 0 && joystick->id < inputSettings::autoFirePads &&
           inputSettings::padAutoFire[joystick->id].value();
}

glm::vec2 VirtualGamepadJoystick::direction() const
{
    if (!joystick || !joystick->present)
        return glm::vec2(0.0f);
    const glm::vec2 s0 = outsideDeadZone(joystick->stick(0));
    const glm::vec2 s1 = outsideDeadZone(joystick->stick(1));
    // Joysticks report y down positive.
    return limitToUnit(glm::vec2(s0.x + s1.x, -(s0.y + s1.y)));
}

VirtualGamepad* VirtualGamepadJoystick::clone() const
{
    return detached(new VirtualGamepadJoystick(*this));
}

} // namespace skyscuffle
