#pragma once

namespace kit {
class World;
}

// Fills the main menu, the first screen of the run.
void createMainMenu(kit::World* world);
