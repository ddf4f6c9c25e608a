#pragma once

#include "game/players/PlayerTextureInfo.h"

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kit {
class NetworkSystem;
class World;
} // namespace kit

namespace skyscuffle {

namespace fn {
// The hosting copy found no seat for a player of another copy. About the
// host's system entity; then the player, whether the session is full
// (otherwise its colour went to a player seated before it), and the colour
// it was announced in.
inline constexpr kit::NamedFunction<kit::EntityID, bool, std::string> refuseSeat{"refuseSeat", kit::Caller::host};
} // namespace fn

// Players in a session, across all its copies.
inline constexpr std::size_t seatsInSession = 6;

// Why a player gets no seat.
enum class SeatRefusal { none, full, colourTaken };

// The seats of a session go first come, first served, in the order the
// hosting copy hears of the players; whatever ids a copy picks, they decide
// nothing. On the hosting copy: whether another copy's new player, of this
// look, takes a seat among the players seated so far. (Two players of one
// number are no bother: the number only tells pilots apart on the console.)
[[nodiscard]] SeatRefusal seatFor(kit::World& world, const PlayerTextureInfo& look);
[[nodiscard]] std::string_view reasonOf(SeatRefusal why);

// On the hosting copy: tells the player's copy that its player, announced
// in that colour, has no seat. A few times a second at most, whatever a peer
// announces.
void turnAway(kit::NetworkSystem& network, kit::EntityID player, SeatRefusal why, const std::string& colourName);

// "refuseSeat": on the player's own copy, the player takes a colour free
// here and is announced again, or, when the session is full or no colour is
// left, leaves (everywhere). A refusal of a colour the player no longer
// wears (it was announced twice, and took another colour since) is old news.
// Any other copy does nothing.
void refuseSeat(kit::EntityHandle host, kit::EntityID player, bool full, const std::string& colourName);

} // namespace skyscuffle
