#include "ControlSettings.h"

namespace skyscuffle::controls {
namespace {

// In the order of Action. The second set takes the keyboard's right half.
const kit::Setting<std::string> keyboard1[actionCount] = {
    {"tuning.controls.keyboard1.up", "UP", "Steer up, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.down", "DOWN", "Steer down, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.left", "LEFT", "Steer left, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.right", "RIGHT", "Steer right, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.up2", "W", "Steer up (second key), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.down2", "S", "Steer down (second key), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.left2", "A", "Steer left (second key), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.right2", "D", "Steer right (second key), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.dash", "Z", "Dash, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.fire", "X", "Fire, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.special", "C", "Shotgun or bomb, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.taunt1", "1", "Taunt 1, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.taunt2", "2", "Taunt 2, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.taunt3", "3", "Taunt 3, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.taunt4", "4", "Taunt 4, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.ping", "V", "Show my plane, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.join", "X", "Join (join screen), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.leave", "Z", "Leave (join screen), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.switchSide", "T", "Change side (join screen), player 1 on the keyboard"},
    {"tuning.controls.keyboard1.addComputer", "V", "Add a computer pilot, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.removeComputer", "C", "Remove a computer pilot, player 1 on the keyboard"},
    {"tuning.controls.keyboard1.pilotStrength", "B", "A computer pilot's strength, player 1 on the keyboard"},
};
const kit::Setting<std::string> keyboard2[actionCount] = {
    {"tuning.controls.keyboard2.up", "I", "Steer up, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.down", "K", "Steer down, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.left", "J", "Steer left, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.right", "L", "Steer right, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.up2", "", "Steer up (second key), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.down2", "", "Steer down (second key), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.left2", "", "Steer left (second key), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.right2", "", "Steer right (second key), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.dash", "U", "Dash, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.fire", "O", "Fire, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.special", "P", "Shotgun or bomb, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.taunt1", "7", "Taunt 1, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.taunt2", "8", "Taunt 2, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.taunt3", "9", "Taunt 3, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.taunt4", "0", "Taunt 4, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.ping", "M", "Show my plane, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.join", "O", "Join (join screen), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.leave", "U", "Leave (join screen), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.switchSide", "Y", "Change side (join screen), player 2 on the keyboard"},
    {"tuning.controls.keyboard2.addComputer", "", "Add a computer pilot, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.removeComputer", "", "Remove a computer pilot, player 2 on the keyboard"},
    {"tuning.controls.keyboard2.pilotStrength", "", "A computer pilot's strength, player 2 on the keyboard"},
};

} // namespace

const kit::Setting<std::string>& binding(int set, Action action)
{
    return (set == 0 ? keyboard1 : keyboard2)[static_cast<int>(action)];
}

} // namespace skyscuffle::controls
