#pragma once

#include "engine/input/Joystick.h"
#include "engine/input/Keyboard.h"

namespace kit {
class World;
}

namespace skyscuffle {

// The join screen's keys and joystick buttons:
//   X / (A)      a human player joins on that device
//   Z / (B)      the device's human player leaves
//   V / (X)      the device adds a computer pilot
//   C / (Y)      the device removes the last computer pilot it added
//   Control+C / (RB) the hosting copy's invite code to the clipboard
//   Escape / Back    to the main menu
//   Enter / Start    begin the round
// Joining with a device that has a player, leaving without one and removing
// a computer pilot when there is none do nothing.
void onJoinScreenKey(kit::World* world, const kit::Keyboard::KeyInfo& key);
void onJoinScreenButton(kit::World* world, const kit::Joystick::ButtonInfo& button);

// Connects the two handlers above to the world's keyboard and joysticks.
void listenOnJoinScreen(kit::World* world);

} // namespace skyscuffle
