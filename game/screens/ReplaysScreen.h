#pragma once

#include "game/replays/ReplayPlayback.h"

#include "engine/network/replay/ReplayFile.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// The Replays screen: the player's replays, newest first, each with its date,
// winner and length, and the players of the chosen one in their colours with
// their points. Enter watches it, Escape goes back to the main menu. A file
// that is not a replay is listed with the reason and cannot be chosen.
void createReplaysScreen(kit::World* world);

// What the chosen replay's match played by, under its players: "Pick-ups:
// few", or for a match of rounds three lines, "Last plane standing", "first
// to 3", "Pick-ups: few"; empty for a replay that does not say (one from
// before they were kept).
std::string replayRulesLine(const kit::ReplayHeader& header);

// Leaves `from` for the playback of a replay, from its start or as `pace`
// says (a playback built again to go back in it). The playback
// is a copy of its own (World::separateCopy): a joined copy whose host is the
// file, with an origin of its own and its own network system, so nothing it
// plays can pass for this copy's. Escape comes back to the Replays screen.
// With the replay's `file`, C makes a clip of it (see requestClip).
void watchReplay(kit::World* from, std::shared_ptr<const kit::Replay> replay, const ReplayPlayback::Pace& pace = {},
                 const std::filesystem::path& file = {});

} // namespace skyscuffle
