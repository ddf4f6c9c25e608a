#include "VirtualGamepadKeyboard.h"

#include "engine/core/World.h"
#include "engine/input/Keyboard.h"
#include "engine/input/Keys.h"

namespace {

constexpr int buttonKeys[VirtualGamepad::buttonCount] = {
    kit::keys::z,      kit::keys::x,      kit::keys::c,      kit::keys::digit1,
    kit::keys::digit2, kit::keys::digit3, kit::keys::digit4, kit::keys::v,
};

} // namespace

VirtualGamepadKeyboard::VirtualGamepadKeyboard()
{
    addTag(kit::typeId<VirtualGamepadKeyboard>());
}

bool VirtualGamepadKeyboard::keyDown(int key) const
{
    return world && world->keyboard && world->keyboard->isKeyDown(key);
}

bool VirtualGamepadKeyboard::isButtonDown(int button) const
{
    if (button < 0 || button >= buttonCount)
        return false;
    return keyDown(buttonKeys[button]);
}

glm::vec2 VirtualGamepadKeyboard::direction() const
{
    using namespace kit::keys;
    glm::vec2 d(0.0f);
    // Arrows and letters add up: up arrow and W together make (0, 2) before limiting.
    if (keyDown(up))
        d.y += 1.0f;
    if (keyDown(down))
        d.y -= 1.0f;
    if (keyDown(left))
        d.x -= 1.0f;
    if (keyDown(right))
        d.x += 1.0f;
    if (keyDown(w))
        d.y += 1.0f;
    if (keyDown(s))
        d.y -= 1.0f;
    if (keyDown(a))
        d.x -= 1.0f;
    if (keyDown(kit::keys::d))
        d.x += 1.0f;
    return limitToUnit(d);
}

VirtualGamepad* VirtualGamepadKeyboard::clone() const
{
    return detached(new VirtualGamepadKeyboard(*this));
}
