#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// Fills the main menu, the first screen of the run: Quick play, Online,
// Sound, Credits and Exit over the title picture. Entering it ends any
// network session and drops the other copies' players; this copy's players
// stay.
void createMainMenu(kit::World* world);

// Requests what the main menu shows at once (its pictures and the sprites'
// program) from the loader thread, so that they are decoded while the window
// opens. Needs no OpenGL context.
void prefetchMainMenu();

} // namespace skyscuffle
