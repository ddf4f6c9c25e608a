#pragma once

#include "game/match/ScoreTable.h"

#include "engine/core/EntityID.h"

#include <map>
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

// How a round ended; `winner` empty: nobody won it.
struct RoundEnd {
    std::optional<kit::EntityID> winner;

    bool operator==(const RoundEnd&) const = default;
};

// Whether the round is over, and who won it: `planes` as they stand now, of
// `startedWith` planes at the round's start, the clock run out or not. A
// health that is not a number counts as none.
[[nodiscard]] std::optional<RoundEnd> judgeRound(const std::vector<RoundPlane>& planes, std::size_t startedWith,
                                                 bool clockOut);

// The rounds each plane has won so far in a match.
class RoundTally {
public:
    void add(const RoundEnd& end);
    [[nodiscard]] int winsOf(kit::EntityID plane) const;
    [[nodiscard]] int roundsPlayed() const { return played_; }
    // The plane that has won `toWin` rounds (and one at least), if any has.
    [[nodiscard]] std::optional<kit::EntityID> champion(int toWin) const;
    // The match's table: every plane of `planes` with its rounds won as its points.
    [[nodiscard]] ScoreTable table(const std::vector<kit::EntityID>& planes) const;

private:
    std::map<kit::EntityID, int> wins_;
    int played_ = 0;
};

} // namespace skyscuffle
