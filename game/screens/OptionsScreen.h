#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// The Options screen, from the main menu: music and effects volumes, full
// screen, window size, vertical sync, computer-pilot strength, pad dead zone,
// the two keyboard players' keys, and a reset to the defaults. A change
// applies at once and is kept in the player's settings file.
void createOptionsScreen(kit::World* world);

} // namespace skyscuffle
