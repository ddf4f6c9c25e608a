#pragma once

#include "engine/core/EntityID.h"

#include <cstdint>
#include <vector>

namespace kit {
class NetStream;
class World;
} // namespace kit

namespace skyscuffle {

// One plane's result at the end of a match.
struct ScoreEntry {
    kit::EntityID plane;
    std::int32_t points = 0;

    friend bool operator==(const ScoreEntry&, const ScoreEntry&) = default;
};

// Every plane's points, as "endGame" hands them to the win screen.
using ScoreTable = std::vector<ScoreEntry>;

// Named-function argument encoding: the count (u32), then per entry the
// plane's id and its points (i32). A count larger than the entries the rest
// of the stream can hold is cut to what it holds, so a forged count never
// makes a reader allocate or loop beyond the packet.
void serialize(kit::NetStream& stream, ScoreTable& table);

// Every plane of the world with its points as they stand now.
[[nodiscard]] ScoreTable tableOf(kit::World& world);

// The entries of a table that are about planes of the world, each plane once
// (its first entry), with points no match can exceed cut to that: a table
// from a peer shows nobody who is not in the match.
ScoreTable knownPlanes(const ScoreTable& table, const kit::World& world);

} // namespace skyscuffle
