#pragma once

#include "game/match/ScoreTable.h"
#include "game/players/Sides.h"

#include "engine/core/EntityHandle.h"

#include <array>
#include <set>
#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// The sides of a team match (game/players/Sides.h) as the match world shows
// them: each plane keeps its player's colour and carries its side's badge
// over it; the sides' points stand beside the clock.

// A team match begins in this world: friends are friends from now on (see
// TeamPlay), and the sides' points show beside the clock. Once only.
void beginTeamPlay(kit::World& world, bool friendlyFire);

// The badge of the plane's side over it, following it, if it has a side.
void markPlane(kit::World& world, kit::EntityHandle plane);
// In a team match, every plane of a side not in `badged` gets its badge
// (and joins it): planes come by many routes (the start, a watcher's word,
// a drop-in, a copy that came back).
void markSides(kit::World& world, std::set<kit::EntityID>& badged);

// The sides' points at the top of the screen, each with its badge, kept to
// the planes' points.
void showSidePoints(kit::World& world);

// Each side's points: the sum of its players' points in the table (a player
// without a side counts for neither).
[[nodiscard]] std::array<int, sideCount> sidePoints(kit::World& world, const ScoreTable& table);

// "Sun 12 : 9 Moon".
[[nodiscard]] std::string describeSidePoints(const std::array<int, sideCount>& points);

} // namespace skyscuffle
