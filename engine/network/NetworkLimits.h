#pragma once

#include <cstddef>

namespace kit {

// What one copy may make another do, per second: every peer is untrusted.
// The figures leave ample room above an honest copy: measured with match_sim,
// a copy of eight computer pilots makes 23 calls a second (60 in its busiest
// second; all eight firing gatling and basic guns at once would be 140),
// its calls make some 20 entities a second on the other copies (about 100 in
// the busiest second, pick-up bursts included), and it sends 1,200 state
// records a second. Anything beyond is dropped. A connection that carries
// several copies (a joined copy's link to the host, which relays the others)
// gets each copy's budget.
struct NetworkLimits {
    float callsPerSecond = 600.0f;
    float callBurst = 1200.0f;
    // Entities that running a peer's calls created here, effects included.
    float entitiesPerSecond = 400.0f;
    float entityBurst = 800.0f;
    float recordsPerSecond = 6000.0f;
    float recordBurst = 6000.0f;
    // An honest packet stays below the path MTU: some 60 records at most.
    std::size_t recordsPerPacket = 256;
    // Call batches of a connection whose copy is not known yet (its first
    // state packet names it), held until it is: a copy that comes back to a
    // session's next host sends its replay of calls (up to 768 KiB) first.
    std::size_t heldPackets = 32;
    std::size_t heldBytes = 1024 * 1024;
    // "Recieved RPC call: " lines a second; the rest are counted.
    int callLinesPerSecond = 2000;
};

} // namespace kit
