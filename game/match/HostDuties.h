#pragma once

#include <memory>

namespace kit {
class World;
}

namespace skyscuffle {

struct MatchState;

// What only the hosting copy of a match does, done by whichever copy hosts
// now: the copy that takes over from a host that went takes them over at
// once. Before the match: start it ("startGameplay") once every copy of the
// session shows its game. During it: run the power-up spawner. (The clock's
// end is the host's too: see startGameplay.) A copy on its own is its own
// host. Installed on every copy's match world.
void takeHostDuties(kit::World& world, const std::shared_ptr<MatchState>& state);

} // namespace skyscuffle
