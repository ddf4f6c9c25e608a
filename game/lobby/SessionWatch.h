#pragma once

namespace kit {
class World;
}

namespace skyscuffle {

// Keeps the join screen's players in step with the copies of the session.
// A connection completes some time after the screen was built, and the calls
// made before it reached nobody: so when a copy is first heard from, every
// copy announces its players again ("requestPlayers"). When a copy that was
// heard from leaves (its record is gone from the network system), the players
// it made are removed here, as it can no longer remove them itself. (A
// colour or player number given twice, when two copies let players join
// before they heard of each other's, the hosting copy settles: the player it
// heard of first keeps it, and the other's copy is told; see Seats.h.)
void watchSession(kit::World* world);

} // namespace skyscuffle
