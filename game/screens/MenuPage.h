#pragma once

#include <string>
#include <vector>

namespace kit {
class World;
}

namespace skyscuffle {

namespace screens {

// Where the title and the lines of a menu page start.
inline constexpr float menuPageLeft = -1.05f;
// Where the page's words end: the panel's right edge, less its margin.
inline constexpr float menuPageRight = 1.15f - 0.02f;

// A menu page's shape at the player's text size: the title's size and line,
// the help's lines at the foot, and the room left between them.
struct MenuPageShape {
    float titleSize = 0.1f;
    float titleY = 0.72f;
    float helpSize = 0.045f;
    std::vector<std::string> helpLines;
    float helpTop = -0.82f; // the help plate's top edge
    // Where the page's own lines go: no glyph above `top`, no line's bottom
    // under `lowest` (the title's panel ends a little under that).
    float top = 0.66f;
    float lowest = -0.76f;
};
MenuPageShape menuPageShape(const std::string& help);

// The page the settings and replays menus stand on, a still screen: the
// landscape, a panel from the top down to `bottom` with the title on it, and
// a panel at the foot with the help, its words on as many lines as they
// need. Returns the page's shape.
MenuPageShape addMenuPage(kit::World* world, const std::string& title, const std::string& help, float bottom);

} // namespace screens

} // namespace skyscuffle
