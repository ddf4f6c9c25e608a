#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// Fills the screen of the main menu's "local" choice, which is not made yet:
// a "coming soon" picture. Enter returns to the main menu, Escape ends the
// game, and Control+1 goes straight into a match with the players there are,
// without the loading screen (a shortcut for trying the match).
void createPlaceholderScreen(kit::World* world);

} // namespace skyscuffle
