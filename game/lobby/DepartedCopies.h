#pragma once

#include "engine/network/NetworkSystem.h"

#include <cstddef>
#include <cstdint>

namespace kit {
class World;
}

namespace skyscuffle {

// What went with a copy that left the session.
struct DepartedCopy {
    std::size_t planes = 0;   // its players' planes
    std::size_t players = 0;  // its players (a player's plane is the same entity)
    std::size_t entities = 0; // everything of it, with the parts that hung on it
};

// Takes out of the world, at once, every entity whose id carries the origin
// (planes, players, bullets: all that copy made) but its pick-ups, and every
// entity whose transform hung on one of them (propellers, guns, weapons of
// powers), which would otherwise be drawn at the origin. Nothing else of this
// copy is touched, and its own origin is refused. The pick-ups stay for
// whoever takes them and go by their own lifespan.
DepartedCopy removeCopy(kit::World& world, std::uint32_t origin);

// For the world's life: when the network system drops a copy (it left, its
// connection was lost, or it fell silent), removeCopy runs and one line on the
// console says so, once per copy. When the host goes, the copy that hosts
// next takes over its part of the match (see takeHostDuties).
void removeDepartedCopies(kit::World& world);

} // namespace skyscuffle
