#pragma once

#include "engine/core/Component.h"

#include <glm/vec2.hpp>

// The one interface through which a plane is steered: a stick direction of
// length at most 1 (x right, y up) and eight buttons. Keyboard, joystick and
// computer players each stand behind their own kind of gamepad.
//
// Buttons: 0 dash, 1 basic gun, 2 shotgun or bomb, 3 to 6 the four taunts,
// 7 player ping. The join screen reads 1 as "join" and 0 as "leave".
class VirtualGamepad : public kit::Component {
public:
    static constexpr int buttonCount = 8;

    VirtualGamepad();

    // Whether the button is held now; numbers outside 0 to 7 are never held.
    [[nodiscard]] virtual bool isButtonDown(int button) const = 0;
    // The stick direction now, of length at most 1.
    [[nodiscard]] virtual glm::vec2 direction() const = 0;
    // A new copy of the same class bound to the same device, in no world.
    [[nodiscard]] virtual VirtualGamepad* clone() const = 0;

protected:
    // Scales a vector longer than 1 down to length 1; shorter ones are returned as they are.
    [[nodiscard]] static glm::vec2 limitToUnit(glm::vec2 v);
    // Finishes a copy made by clone(): it belongs to no world yet.
    template <class T>
    [[nodiscard]] static T* detached(T* copy)
    {
        copy->world = nullptr;
        return copy;
    }
};
