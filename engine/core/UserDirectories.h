#pragma once

#include <filesystem>

// Where a player's own files go, by the XDG base directory rules: the
// variable's directory when it is set to an absolute path, otherwise the
// default under $HOME. Empty when neither is known (no HOME): nothing of the
// player's can be kept then.
namespace kit::userDirectories {

// $XDG_CONFIG_HOME, default ~/.config: settings.
std::filesystem::path configHome();
// $XDG_DATA_HOME, default ~/.local/share: what the game keeps for the player.
std::filesystem::path dataHome();
// $XDG_STATE_HOME, default ~/.local/state: what a run leaves to read later
// (its log).
std::filesystem::path stateHome();

} // namespace kit::userDirectories
