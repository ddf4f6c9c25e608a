#pragma once

#include "engine/network/replay/ReplayFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skyscuffle {

// Where the player's replays are kept: $XDG_DATA_HOME/skyscuffle/replays
// (default ~/.local/share/skyscuffle/replays).
std::filesystem::path replayDirectory();

// A replay's file name: date, time and winner, "2026-12-07_23-59-01_Blue.replay"
// ("draw" when nobody won); characters a file name should not hold become '-'.
std::string replayFileName(const kit::ReplayHeader& header);

// Saves a finished match's replay into `directory` (made if need be), then
// deletes the oldest replays there beyond `keep` (by name, which sorts by
// date). The path written, or nothing with one line on standard error: a
// replay is never needed for play.
std::optional<std::filesystem::path> shelveReplay(const kit::Replay& replay, const std::filesystem::path& directory,
                                                  int keep);

// The replays in `directory`, newest first.
std::vector<std::filesystem::path> shelvedReplays(const std::filesystem::path& directory);

// Replays the player chose to keep: in `directory`/kept, never deleted to
// make room. Every replay of the shelf, kept ones included, newest first.
std::vector<std::filesystem::path> everyReplay(const std::filesystem::path& directory);

// The replay of the last match this run shelved, if any.
std::optional<std::filesystem::path>& lastShelvedReplay();

// Keeps a shelved replay for good, under its name in the kept folder. The
// kept path, or nothing with one line on standard error.
std::optional<std::filesystem::path> keepReplay(const std::filesystem::path& replay,
                                                const std::filesystem::path& directory);

} // namespace skyscuffle
