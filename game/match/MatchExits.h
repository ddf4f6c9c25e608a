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

} // namespace skyscuffle
