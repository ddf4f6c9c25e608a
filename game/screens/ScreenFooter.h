#pragma once

#include "game/widgets/Panel.h"

#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

namespace screens {

// The line at the foot of a screen that says how to go on ("Press Enter to
// continue") on a plate of its own: centred at `centreX` and `width` wide,
// wider where the words at the player's text size need it (up to the width
// of a 4:3 window, moved in to stay on it); `aside`, a few words at the
// plate's right end (a page's number).
// The top of that plate at the player's text size.
float footerTop();

widgets::Panel addContinueFooter(kit::World* world, float centreX, float width, const std::string& words,
                                 const std::string& aside = {});

} // namespace screens

} // namespace skyscuffle
