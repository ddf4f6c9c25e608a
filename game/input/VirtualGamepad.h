#pragma once

#include "engine/core/Component.h"

#include <glm/vec2.hpp>

namespace skyscuffle {

// The one interface through which a plane is steered: a stick direction of
// length at most 1 (x right, y up) and eight buttons. Keyboard, joystick and
// computer players each stand behind their own kind of gamepad.
//
// The buttons are numbered 0 to 7 (Button). The join screen's keys and pad
// buttons for "join" and "leave" are by default the gun's and the dash's; it
// reads them as keys, and a gamepad outside a match reports the gun only as
// held (auto-fire is a plane's, see AutoFire).
class VirtualGamepad : public kit::Component {
public:
    enum Button : int {
        dash = 0,
        gun = 1,     // the basic gun
        special = 2, // the shotgun or the bomb of a power
        taunt = 3,   // the first of the four taunts, 3 to 6
        ping = 7,    // shows where the player's plane is
    };
    static constexpr int buttonCount = 8;

    VirtualGamepad();

    // Whether the button is down now; numbers outside 0 to 7 never are. For a
    // plane with auto-fire on (AutoFire), the gun is down while it fires.
    [[nodiscard]] virtual bool isButtonDown(int button) const = 0;
    // Whether the player holds the button, whatever auto-fire makes of it.
    [[nodiscard]] virtual bool isButtonHeld(int button) const { return isButtonDown(button); }
    // Whether this gamepad's player chose auto-fire (a keyboard set's or a
    // pad slot's choice); a computer pilot never does.
    [[nodiscard]] virtual bool autoFire() const { return false; }
    // The stick direction now, of length at most 1.
    [[nodiscard]] virtual glm::vec2 direction() const = 0;
    // A new copy of the same class bound to the same device, in no world.
    [[nodiscard]] virtual VirtualGamepad* clone() const = 0;

protected:
    // A button held or not, as flight reads it: the gun of a plane with
    // auto-fire answers for its AutoFire; anything else, and anywhere else,
    // as held.
    [[nodiscard]] bool flown(int button, bool held) const;
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

} // namespace skyscuffle
