#pragma once

#include <optional>
#include <string>

namespace skyscuffle {

// The keys of the keyboard players, by action: two sets, the first player's
// and the second's (who shares the keyboard), each kept by key name under
// "tuning.controls.keyboard<1|2>.<action>" in the settings, so that a player
// can read and edit them. A changed binding applies at once.
namespace controls {

enum class Action {
    up,
    down,
    left,
    right, // steering
    up2,
    down2,
    left2,
    right2, // a second key for each direction
    dash,
    fire,
    special, // the virtual gamepad's buttons 0 to 2
    taunt1,
    taunt2,
    taunt3,
    taunt4, // buttons 3 to 6
    ping,   // button 7
    join,
    leave,      // the join screen: this player joins or leaves
    switchSide, // the join screen: this player changes sides (a team match)
    addComputer,
    removeComputer, // the join screen: computer pilots (the first set only)
    pilotStrength,  // the join screen: the last computer pilot's strength (the first set only)
    count
};
constexpr int actionCount = static_cast<int>(Action::count);
constexpr int keyboardSets = 2;

// What an action is called in the settings ("fire") and on the Options screen ("Fire").
const char* settingName(Action action);
const char* label(Action action);
// Whether the action is read on the join screen (the others in a match).
bool onJoinScreen(Action action);
// The settings key of an action of a set (0 or 1).
std::string settingKey(int set, Action action);

// The key bound to an action of a set; -1 when none. Reads a table kept in
// step with the settings.
int key(int set, Action action);
int defaultKey(int set, Action action);
// The virtual gamepad button an action stands for (-1 for steering and the
// join screen's).
int gamepadButton(Action action);

// Keys no action may take: they are the game's own (Escape leaves, Enter
// begins, F11 switches full screen, Control+L reloads the tuning).
bool reserved(int key);

// What binding a key did: nothing (a reserved key, or the binding was
// already so), bound, or bound with the action that had the key taking this
// action's old key in exchange (both sets' actions of the same screen count).
struct Rebinding {
    bool changed = false;
    std::optional<std::pair<int, Action>> swappedWith; // set and action
};
// Binds `key` to an action of a set as the player's choice (kept in the
// player's settings, see options::save).
Rebinding bind(int set, Action action, int key);
// Every binding back to its default: the player's choices are cleared.
void resetToDefaults();

} // namespace controls

} // namespace skyscuffle
