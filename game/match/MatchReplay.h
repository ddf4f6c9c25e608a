#pragma once

#include "MatchRules.h"

#include "game/match/ScoreTable.h"

#include "engine/network/replay/ReplayFile.h"

#include <optional>

namespace kit {
class World;
}

namespace skyscuffle {

// The header of the match of `world` that ended with `table`: every plane's
// colour name, colour and points, the winner as the win screen names it (the
// first of equal best), the time now and the settings the match ran with:
// its rules (the host's; this copy's own choice when none came) and gravity.
kit::ReplayHeader matchReplayHeader(kit::World& world, const ScoreTable& table,
                                    const std::optional<MatchRules>& rules = std::nullopt);

// Whether a match is to be recorded: a file is named for its replay, or the
// shelf keeps at least one ("tuning.replays.keep" 0 records nothing).
bool replaysWanted();

// Ends the recording of the world's match and keeps it: in the file set by
// "tuning.replays.file" when there is one (match_sim --record), else on the
// player's shelf (the last "tuning.replays.keep" of them, 0 keeping none).
// Nothing without a recording.
void keepMatchReplay(kit::World& world, const ScoreTable& table, const std::optional<MatchRules>& rules);

} // namespace skyscuffle
