#pragma once

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

// Leaves any network session: pending calls are sent, the game peer shut
// down, the peer table cleared; LAN discovery announces at once that this
// copy does not host.
void endSession(kit::World* world);

} // namespace screens

} // namespace skyscuffle
