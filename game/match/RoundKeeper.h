#pragma once

#include "engine/core/EntityID.h"
#include "engine/core/Signal.h"
#include "engine/network/NamedFunction.h"

#include <cstdint>
#include <memory>

namespace kit {
class World;
}

namespace skyscuffle {

struct MatchState;
struct RoundEnd;

// Last plane standing as the copies of a session play it together, every
// frame of the match (see Rounds.h for who wins a round):
// - a wreck stays down and kills count no points: a plane's points are the
//   rounds it has won;
// - the hosting copy judges the round, once every plane flies again (or
//   after roundSeatWait), and says it is over ("roundOver"): every copy gives
//   the winner its point and shows who won for roundPause;
// - then each copy starts its own planes again on the spawn circle and the
//   round's clock at the match's length; or, when a plane has won the rounds
//   asked for (or mostRounds were played), the hosting copy ends the match
//   with the table.
// Whichever copy hosts judges: a copy that takes over from a host that went
// has seen every round end as the host had.

namespace fn {
// The round just over: who won it (an id that is no plane: nobody), its
// number from 1, and whether its clock ended it.
inline constexpr kit::NamedFunction<kit::EntityID, std::int32_t, bool> roundOver{"roundOver", kit::Caller::host};
// To a copy that comes to watch, before its word of the match: the rounds
// over so far.
inline constexpr kit::NamedFunction<std::int32_t> roundsSoFar{"roundsSoFar", kit::Caller::host};
} // namespace fn

// Seconds between a round's end and the next one's start.
inline constexpr float roundPause = 3.0f;
// Seconds the hosting copy waits at most for every plane to fly again after
// a round begins, before it judges with the planes that do.
inline constexpr float roundSeatWait = 3.0f;

// The "roundOver" and "roundsSoFar" handlers, for a match world.
void registerRoundFunctions(kit::World& world, const std::shared_ptr<MatchState>& state);

// One frame of a match of rounds on this copy (nothing in another mode, or
// once the match has ended).
void keepRounds(kit::World& world, MatchState& state, bool hosting, float dt);

// Every round's end as a copy takes it, with its number (the match
// simulator's statistics). Main thread only.
kit::Signal<void(const RoundEnd&, std::int32_t)>& roundEnded();

} // namespace skyscuffle
