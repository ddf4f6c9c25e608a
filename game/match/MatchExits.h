#pragma once

#include "game/match/ScoreTable.h"

#include "engine/core/World.h"

#include <cstddef>
#include <functional>

namespace skyscuffle {

// How a match ended for this copy: the final table, and the copies that
// watched it without a plane (this one, and how many others).
struct MatchResult {
    ScoreTable table;
    bool watchedHere = false;
    std::size_t watchedElsewhere = 0;
    bool rounds = false; // the points are rounds won (last plane standing)
    bool teams = false;  // the players played on two sides (a team match)
};

// Where a match hands over when it is done: the results, or the main menu
// when a player leaves early. The screens supply both (the match knows no
// screen).
struct MatchExits {
    std::function<kit::World::SetupFunction(const MatchResult&)> results;
    kit::World::SetupFunction menu;
};

} // namespace skyscuffle
