#pragma once

namespace kit {
class World;
}

// Fills the main menu, the first screen of the run: Quick play, Online,
// Sound, Credits and Exit over the title picture. Entering it ends any
// network session and drops the other copies' players; this copy's players
// stay.
void createMainMenu(kit::World* world);
