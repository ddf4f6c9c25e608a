#pragma once

#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

namespace screens {

// Where the title and the lines of a menu page start.
inline constexpr float menuPageLeft = -1.05f;
// Where the page's words end: the panel's right edge, less its margin.
inline constexpr float menuPageRight = 1.15f - 0.02f;

// The page the settings and replays menus stand on, a still screen: the
// landscape, a panel from the top down to `bottom` with the title on it, and
// a panel at the foot with a line of help.
void addMenuPage(kit::World* world, const std::string& title, const std::string& help, float bottom);

} // namespace screens

} // namespace skyscuffle
