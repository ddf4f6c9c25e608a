#pragma once

#include "engine/network/replay/ReplayFile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skyscuffle {

// Where the player's replays are kept: $XDG_DATA_HOME/skyscuffle/replays
// (default ~/.local/share/skyscuffle/replays). Empty when neither is set:
// then no replay is kept anywhere.
std::filesystem::path replayDirectory();

// A replay's file name: date, time and winner, "2026-12-07_23-59-01_Blue.replay"
// ("draw" when nobody won); characters a file name should not hold become '-'.
std::string replayFileName(const kit::ReplayHeader& header);

// Whether a file name is one the shelf gave (replayFileName, perhaps with
// "_2" and on for a second one in the same second): the only files it
// ever deletes.
bool isShelvedName(const std::string& fileName);

// Saves a finished match's replay into `directory` (made if need be), under
// a name no other replay there has, then deletes the oldest of the shelf's
// own replays there (by name, which sorts by date) beyond `keep`, never the
// one just saved, and nothing else. The path written, or nothing with one
// line on standard error: a replay is never needed for play.
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
