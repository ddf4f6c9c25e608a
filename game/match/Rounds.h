#pragma once

#include "game/match/ScoreTable.h"

#include "engine/core/EntityID.h"

#include <optional>
#include <vector>

namespace skyscuffle {

// Last plane standing plays a match as rounds: in a round each plane flies
// once, with no respawn. A round that began with two planes or more ends
// when one is left flying (it wins) or none is (nobody does); any round ends
// when its clock runs out, and then the flying plane with the most health
// wins it, or nobody when two share the most. The first to win the rounds
// the rules ask for wins the match.

// One plane as a round stands.
struct RoundPlane {
    kit::EntityID plane;
    bool flying = false; // not a wreck, not gone
    float health = 0.0f;
};

// How a round ended: `winner` empty, nobody won it; `timeUp`, its clock ended
// it (and the most health won it).
struct RoundEnd {
    std::optional<kit::EntityID> winner;
    bool timeUp = false;

    bool operator==(const RoundEnd&) const = default;
};

// Whether the round is over, and who won it: `planes` as they stand now, of
// `startedWith` planes at the round's start, the clock run out or not. A
// health that is not a number counts as none.
[[nodiscard]] std::optional<RoundEnd> judgeRound(const std::vector<RoundPlane>& planes, std::size_t startedWith,
                                                 bool clockOut);

// The plane of `table` whose points (the rounds it has won) reach `toWin`, if
// any does; the first such in the table's order.
[[nodiscard]] std::optional<kit::EntityID> champion(const ScoreTable& table, int toWin);

// A match plays at most this many rounds when `toWin` are asked for: rounds
// that nobody wins could go on for ever. After the last, the table stands as
// it is (the most rounds won, the best).
[[nodiscard]] int mostRounds(int toWin);

} // namespace skyscuffle
