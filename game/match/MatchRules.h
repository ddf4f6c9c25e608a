#pragma once

#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {
class NetStream;
class World;
} // namespace kit

namespace skyscuffle {

// How many pick-ups a match has, as a share of the usual rate.
enum class Pickups : std::int32_t { off, few, normal, many };

// How a match is won.
// - freeForAll: points for kills and against deaths until the clock runs out.
// - lastPlaneStanding: rounds without respawn, the last plane flying wins
//   one, and the first to win `roundsToWin` wins the match (see Rounds.h).
// - teams: two sides (game/players/Sides.h) whose planes' points add up; a
//   side's fire hurts its own only with `friendlyFire`.
enum class Mode : std::int32_t { freeForAll, lastPlaneStanding, teams };

// How a match is played: the hosting copy's choice on its join screen, kept
// in its player's settings ("tuning.gameWorld.matchLength" in seconds,
// "tuning.gameWorld.pickups", "tuning.gameWorld.mode",
// "tuning.gameWorld.roundsToWin", "tuning.gameWorld.friendlyFire",
// "tuning.gameWorld.arena"). Every copy of a session plays its host's
// rules: the host tells them ("matchRules") on the join screen, again just
// before it starts the match (so that a replay keeps them too) and to every
// copy that comes to watch. In last plane standing `seconds` bounds each
// round.
struct MatchRules {
    float seconds = 180.0f;
    Pickups pickups = Pickups::normal;
    Mode mode = Mode::freeForAll;
    std::int32_t roundsToWin = 3;
    bool friendlyFire = false;
    std::int32_t arena = 0; // its number (game/common/ArenaLayout.h)

    bool operator==(const MatchRules&) const = default;
};

// Named-function argument encoding: the seconds (f32), then the pick-ups,
// the mode and the rounds to win (i32 each), friendly fire (bit) and the
// arena (i32), as said: a reader checks them with receivedRules.
void serialize(kit::NetStream& stream, MatchRules& rules);

namespace fn {
inline constexpr kit::NamedFunction<MatchRules> matchRules{"matchRules", kit::Caller::host};
} // namespace fn

// The longest match (or round) any copy plays, seconds; the join screen
// offers whole minutes up to longestChoice.
inline constexpr float longestMatch = 3600.0f;
inline constexpr int longestChoice = 10;
// The most rounds a last plane standing may ask a plane to win.
inline constexpr std::int32_t mostRoundsToWin = 9;

// The rules this copy's player chose, from the settings.
[[nodiscard]] MatchRules chosenRules();
// Rules as another copy said them; nothing when a value is out of bounds (a
// length that is not a number, under a second or over an hour; pick-ups or
// a mode or an arena that are none of those known; rounds to win outside 1
// to mostRoundsToWin).
[[nodiscard]] std::optional<MatchRules> receivedRules(const MatchRules& said);
// The rules of the "matchRules" call running in `world`: nothing when they
// are out of bounds, and then the call is refused and goes no further.
[[nodiscard]] std::optional<MatchRules> rulesOfCall(kit::World* world, const MatchRules& said);

// Pick-ups come this many times as often as usual: 0, a half, 1, 2.
[[nodiscard]] float pickupShare(Pickups pickups);
[[nodiscard]] const char* nameOf(Pickups pickups);
[[nodiscard]] const char* nameOf(Mode mode);
// "last plane standing, first to 3, rounds of 1 min, pick-ups normal";
// "free-for-all, 3 min, pick-ups normal" (or "0:45" for part of a minute);
// "team match, 3 min, pick-ups normal, friendly fire off"; away from the
// meadow the arena follows: "..., in the canyon".
[[nodiscard]] std::string describe(const MatchRules& rules);
// Its length alone: "3 min", "0:45".
[[nodiscard]] std::string describeLength(float seconds);

// The join screen's steps, saved in the player's settings: the length goes
// round whole minutes 1 to 10, the pick-ups round off, few, normal, many,
// the mode round the modes; the mode's own choice (F8): in last plane
// standing the rounds to win round 1 to 5, in a team match friendly fire on
// or off, in a free-for-all none. The arena goes round the arenas.
void chooseNextLength();
void chooseNextPickups();
void chooseNextMode();
void chooseNextRoundsToWin();
void chooseFriendlyFire();
void chooseModesOwn();
void chooseNextArena();

// What a joined copy last heard its host choose on the join screen; reset
// when the session ends.
[[nodiscard]] std::optional<MatchRules>& hostsRules();

} // namespace skyscuffle
