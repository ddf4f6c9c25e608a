#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <memory>
#include <optional>

namespace kit {
class Joystick;
class NetworkSystem;
class World;
} // namespace kit

namespace skyscuffle {

struct MatchState;

// A player of a copy that watches a running match drops into it: the copy
// announces the player ("spawnPersistantPlayer", which the host seats or
// refuses as on a join screen); the host, which has drop-in on, gives the
// seated player a place ("dropIn"); the player's copy then makes its plane
// there ("spawnPlayer"), shielded as after a respawn, with no points, on
// every copy, and plays from then on.
namespace fn {
// The player, the plane's place and turn.
inline constexpr kit::NamedFunction<kit::EntityID, glm::vec3, glm::quat> dropIn{"dropIn", kit::Caller::host};
} // namespace fn

// Whether a player has its plane.
[[nodiscard]] bool flies(const kit::World& world, kit::EntityID player);

// On a copy that watches: the human player of a device (its existing one, or
// a new one) asks for a seat in the match. Nothing when the match takes no
// one (drop-in off, or no seat left); one line on the console says what.
void askToDropIn(kit::World& world, const MatchState& state, int device, kit::Joystick* joystick);

// On the hosting copy, every frame of a running match: each player of a
// copy that watches which has no plane yet and a seat is given the place on
// the spawn circle furthest from every plane, once; in last plane standing
// only between rounds.
void seatDroppingPlayers(kit::World& world, kit::NetworkSystem& network, MatchState& state);

// On the hosting copy: gives another copy's player the place on the spawn
// circle furthest from every plane ("dropIn"), once.
void seatPlayer(kit::World& world, kit::NetworkSystem& network, MatchState& state, kit::EntityID player);

// "dropIn" on the player's own copy: its plane is made at the place, shielded;
// its gauge joins the HUD, and the copy plays the match from now on. Anywhere
// else, or for a player that flies already, nothing.
void takeSeatInMatch(kit::World& world, MatchState& state, kit::EntityID player, glm::vec3 position,
                     glm::quat rotation);

// Whether a "spawnPlayer" made by the copy `caller` (nothing: unknown, as a
// joined copy hears what its host relayed) may run here: on the hosting
// copy, a copy that watches makes a plane only for a player the host seated.
[[nodiscard]] bool mayLaunch(const kit::NetworkSystem& network, const MatchState& state,
                             std::optional<std::uint32_t> caller, kit::EntityID player);

} // namespace skyscuffle
