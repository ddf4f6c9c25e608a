#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <glm/vec3.hpp>

#include <cstdint>
#include <optional>

namespace kit {
class NetworkSystem;
class World;
} // namespace kit

namespace skyscuffle {

// The two sides of a team match. Each has a badge that its planes, gauges
// and lines carry beside their players' own colours.
enum class Side : std::int32_t { sun, moon };
inline constexpr int sideCount = 2;

// A player's side, on the player's persistent entity (so on its plane too).
// The hosting copy decides every player's side and tells every copy
// ("playerSide"): it puts a newcomer on the smaller side, and moves a player
// whose copy asks ("switchSide").
class PlayerSide : public kit::Component {
public:
    explicit PlayerSide(Side side);

    Side side;
};

// A match world of two sides: planes of one side are friends, whose fire
// hurts each other only with friendly fire on, and whose kills of each other
// count no points.
class TeamPlay : public kit::Component {
public:
    explicit TeamPlay(bool friendlyFire);

    bool friendlyFire;
};

namespace fn {
// The hosting copy's word of a player's side: the player, its side. (About
// the host's system entity: a copy takes no other copy's call about its own
// players.)
inline constexpr kit::NamedFunction<kit::EntityID, std::int32_t> playerSide{"playerSide", kit::Caller::host};
// A copy asks for its own player to change sides; the hosting copy moves it.
inline constexpr kit::NamedFunction<> switchSide{"switchSide", kit::Caller::owner};
} // namespace fn

[[nodiscard]] std::optional<Side> sideOf(kit::World& world, kit::EntityID player);
// Whether the two (players or their planes) are on one side of a team match:
// never outside one, never for a player without a side.
[[nodiscard]] bool friends(kit::World& world, kit::EntityID a, kit::EntityID b);
// "Sun", "Moon".
[[nodiscard]] const char* nameOf(Side side);
// The badge's picture, and the colour the side's words are written in.
[[nodiscard]] const char* badgeOf(Side side);
[[nodiscard]] glm::vec3 tintOf(Side side);
// The players of each side.
[[nodiscard]] int playersOn(kit::World& world, Side side);

// On the hosting copy: every player without a side gets the smaller one (the
// sun's when even), told to every copy.
void balanceSides(kit::World& world);
// On the hosting copy: every player's side told again to every copy (one that
// came later; every copy just before a match).
void tellSides(kit::World& world);
// "playerSide" and "switchSide", for the network system's life.
void registerSideFunctions(kit::NetworkSystem& network);

} // namespace skyscuffle
