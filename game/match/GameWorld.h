#pragma once

#include "game/match/ScoreTable.h"

#include "engine/core/World.h"

#include <functional>

namespace skyscuffle {

// Where a match hands over when it is done: the results with the final
// table, or the main menu when a player leaves early. The screens supply
// both (the match knows no screen).
struct MatchExits {
    std::function<kit::World::SetupFunction(const ScoreTable&)> results;
    kit::World::SetupFunction menu;
};

// Fills a world with a match: the stage, its walls, the cameras, lights and
// renderers, gravity, and the named functions of gameplay. The copy that
// hosts (whichever it is by then) starts the match once every copy shows its
// game world.
void createGameWorld(kit::World* world, const MatchExits& exits);

} // namespace skyscuffle
