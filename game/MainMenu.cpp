#include "MainMenu.h"

#include "ClearScreen.h"

#include "engine/core/World.h"

#include <iostream>

void createMainMenu(kit::World* world)
{
    std::cout << "Creating Main Menu" << "\n";
    // The menu itself arrives with the renderer; until then the screen shows the sky.
    world->emplaceComponent<ClearScreen>(world->createEntity(), glm::vec3(0.36f, 0.62f, 0.85f));
}
