#include "WinScreen.h"

#include "game/ClearScreen.h"

#include "engine/core/World.h"

#include <iostream>

// A placeholder until the screens arrive: the sky and the scores on the console.
void WinScreenInit::operator()(kit::World* world) const
{
    for (const ScoreEntry& entry : scores)
        std::cout << entry.plane.serial << ": " << entry.points << "\n";
    world->emplaceComponent<ClearScreen>(world->createEntity(), glm::vec3(0.36f, 0.62f, 0.85f));
}
