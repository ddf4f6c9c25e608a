#pragma once

#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kit {
class World;
}

namespace skyscuffle {

// How many pick-ups a match has, as a share of the usual rate.
enum class Pickups : std::int32_t { off, few, normal, many };

// How a match is played: the hosting copy's choice on its join screen, kept
// in its player's settings ("tuning.gameWorld.matchLength" in seconds,
// "tuning.gameWorld.pickups"). Every copy of a session plays its host's
// rules: the host tells them ("matchRules") on the join screen and again just
// before it starts the match, so that a replay keeps them too.
struct MatchRules {
    float seconds = 180.0f;
    Pickups pickups = Pickups::normal;

    bool operator==(const MatchRules&) const = default;
};

namespace fn {
// The match's length in seconds and its pick-ups.
inline constexpr kit::NamedFunction<float, std::int32_t> matchRules{"matchRules", kit::Caller::host};
} // namespace fn

// The longest match any copy plays, seconds; the join screen offers whole
// minutes up to longestChoice.
inline constexpr float longestMatch = 3600.0f;
inline constexpr int longestChoice = 10;

// The rules this copy's player chose, from the settings.
[[nodiscard]] MatchRules chosenRules();
// Rules as another copy said them; nothing when a value is out of bounds
// (a length that is not a number, under a second or over an hour, or
// pick-ups that are none of the four).
[[nodiscard]] std::optional<MatchRules> receivedRules(float seconds, std::int32_t pickups);
// The rules of the "matchRules" call running in `world`: nothing when they
// are out of bounds, and then the call is refused and goes no further.
[[nodiscard]] std::optional<MatchRules> rulesOfCall(kit::World* world, float seconds, std::int32_t pickups);

// Pick-ups come this many times as often as usual: 0, a half, 1, 2.
[[nodiscard]] float pickupShare(Pickups pickups);
[[nodiscard]] const char* nameOf(Pickups pickups);
// "3 min, pick-ups normal" (or "0:45" for a match of part of a minute).
[[nodiscard]] std::string describe(const MatchRules& rules);
// Its length alone: "3 min", "0:45".
[[nodiscard]] std::string describeLength(float seconds);

// The join screen's steps, saved in the player's settings: the length goes
// round whole minutes 1 to 10, the pick-ups round off, few, normal, many.
void chooseNextLength();
void chooseNextPickups();

// What a joined copy last heard its host choose on the join screen; reset
// when the session ends.
[[nodiscard]] std::optional<MatchRules>& hostsRules();

} // namespace skyscuffle
