#pragma once

#include "game/match/GameWorld.h"

#include "engine/core/World.h"

#include <string>

namespace skyscuffle {

// How one screen hands over to the next: a new world made from the next
// screen's setup function, which the application makes current after this
// frame's update pass.
namespace screens {

// Hands the application a new world filled by `setup`. Nothing happens for
// a world that was never given to an application.
void switchTo(kit::World* world, kit::World::SetupFunction setup);

// The setup function of a menu's screen name ("main", "game", "online",
// "local", "credits"); empty for any other name.
kit::World::SetupFunction screenNamed(const std::string& name);

// The match's way out: the win screen with the final table, the main menu
// when a player leaves early.
MatchExits matchExits();
// A match world that hands over to the screens when it is done.
kit::World::SetupFunction matchWorld();

// Switches to the screen of that name; "exit" stops the application after
// this frame instead. Unknown names do nothing.
void goToScreen(kit::World* world, const std::string& name);

// Leaves any network session: pending calls are sent, the game peer shut
// down, the peer table cleared; LAN discovery announces at once that this
// copy does not host.
void endSession(kit::World* world);

} // namespace screens

} // namespace skyscuffle
