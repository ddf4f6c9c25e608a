#pragma once

#include <filesystem>
#include <optional>

namespace skyscuffle {

// Where clips go: $XDG_DATA_HOME/skyscuffle/clips (~/.local/share/skyscuffle/clips);
// empty when neither is set, and no clip is made.
std::filesystem::path clipDirectory();

// Asks for a clip of `seconds` of a replay file from `from` seconds in: the
// game runs itself once more, in a window never shown, to draw it (the
// game's --clip), so that this window keeps running meanwhile. The console
// says when the clip is written, or that it was not. Returns the clip's
// path, or nothing (with one line) when that run could not start.
std::optional<std::filesystem::path> requestClip(const std::filesystem::path& replay, float from, float seconds);

} // namespace skyscuffle
