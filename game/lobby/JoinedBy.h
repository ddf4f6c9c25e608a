#pragma once

#include "engine/core/Component.h"

namespace skyscuffle {

// Which device of this copy added a player on the join screen, and whether
// it is a computer pilot: so that a device leaves with its own player and
// removes the computer pilots it added, and no device joins twice. Lives on
// the player's entity and moves with it from screen to screen.
class JoinedBy : public kit::Component {
public:
    static constexpr int keyboard = -1;       // joysticks are their slots, 0 to 15
    static constexpr int secondKeyboard = -2; // a second player on the same keyboard

    JoinedBy(int device, bool computer);

    int device;
    bool computer;
};

} // namespace skyscuffle
