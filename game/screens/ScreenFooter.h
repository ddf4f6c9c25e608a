#pragma once

#include "game/widgets/Panel.h"

#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

namespace screens {

// The line at the foot of a screen that says how to go on ("Press Enter to
// continue") on a plate of its own: the plate centred at `centreX`, `width`
// wide, the words from `left`, and `more` lines on the same plate.
widgets::Panel addContinueFooter(kit::World* world, float centreX, float width, const std::string& words, float left,
                                 std::vector<widgets::PanelLine> more = {});

} // namespace screens

} // namespace skyscuffle
