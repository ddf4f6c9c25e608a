#include "GameWorld.h"

#include "game/ClearScreen.h"

#include "engine/core/World.h"

#include <iostream>

// A placeholder until the match arrives: the sky, and the console line.
void createGameWorld(kit::World* world)
{
    std::cout << "Creating Game World" << "\n";
    world->emplaceComponent<ClearScreen>(world->createEntity(), glm::vec3(0.36f, 0.62f, 0.85f));
}
