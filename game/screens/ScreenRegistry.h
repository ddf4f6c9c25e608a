#pragma once

#include "game/match/MatchExits.h"

#include "engine/core/World.h"

#include <string>

namespace skyscuffle {

// Every screen by the name menus and the start-up know it, and the match
// world with its way back to the screens: the one place that knows them all.
namespace screens {

// The setup function of a menu's screen name ("main", "game", "online",
// "local", "credits"); empty for any other name.
kit::World::SetupFunction screenNamed(const std::string& name);

// The match's way out: the win screen with the final table, the main menu
// when a player leaves early.
MatchExits matchExits();
// A match world that hands over to the screens when it is done.
kit::World::SetupFunction matchWorld();
// A match world that watches the running match of the session this copy
// joined, then hands over to the screens as matchWorld's does.
kit::World::SetupFunction watchWorld();

// Switches to the screen of that name; "exit" stops the application after
// this frame instead. Unknown names do nothing.
void goToScreen(kit::World* world, const std::string& name);

} // namespace screens

} // namespace skyscuffle
