#pragma once

#include "game/match/MatchExits.h"
#include "game/match/MatchStart.h"

namespace skyscuffle {

// Fills a world with a match: the stage, its walls, the cameras, lights and
// renderers, gravity, and the named functions of gameplay. The copy that
// hosts (whichever it is by then) starts the match once every copy shows its
// game world.
// A replay's match world (`view`) is not recorded again. A world that
// watches a match live flies no plane of its own: it waits for its host's
// word of the match ("matchSoFar") and follows it from there.
void createGameWorld(kit::World* world, const MatchExits& exits, const MatchView& view = {});

} // namespace skyscuffle
