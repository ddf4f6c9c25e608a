#pragma once

#include "game/widgets/PictureMenu.h"

namespace skyscuffle {

// A menu cursor that is also a switch (power-ups on or off): activating it,
// while it is enabled, flips its state and its cursor flag and shows the
// matching picture (powerupCursorOn.png, powerupCursorOff.png) on its
// entity's model, or on the picture that hangs under it.
class PowerupCursor : public PictureMenu {
public:
    PowerupCursor(std::vector<MenuOption> options, std::vector<glm::vec2> positions);

    void activate();

    bool on = true;
    bool cursorFlag = true;

private:
    void show();
};

} // namespace skyscuffle
