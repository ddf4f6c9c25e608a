#pragma once

#include "engine/core/EntityID.h"
#include "engine/network/NamedFunction.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kit {
class NetworkSystem;
class World;
} // namespace kit

namespace skyscuffle {

struct MatchState;

namespace fn {
// The hosting copy takes a copy back: its origin, then one of its last run's
// players by colour and number (one call a player).
inline constexpr kit::NamedFunction<std::uint32_t, std::string, std::int32_t> welcomeBack{"welcomeBack",
                                                                                          kit::Caller::host};
// The hosting copy gives a plane of a copy that came back the points its
// player had: the plane, its points.
inline constexpr kit::NamedFunction<kit::EntityID, std::int32_t> pointsBack{"pointsBack", kit::Caller::host};
} // namespace fn

// A copy that left the match and comes back (see game/lobby/ComeBack.h), as
// a match world sees it, for the match's life:
// - every copy tells its fingerprint at its start ("copyTicket"), and every
//   copy keeps them;
// - when a copy goes, every copy remembers, under its fingerprint, its
//   players' colours, numbers and points;
// - "comeBack" with the secret of a fingerprint remembered brings them back,
//   once: the hosting copy names them to the new copy ("welcomeBack"), which
//   makes those of its note again; the host seats them (drop-in on or off),
//   gives each a place, and once its plane flies its points ("pointsBack").
//   A secret that matches nothing is refused, and the copy only watches.
void registerReturnFunctions(kit::World& world, const std::shared_ptr<MatchState>& state);

// This copy's fingerprint, to every copy.
void announceTicket(kit::World& world);

// On the hosting copy, every frame: the players of a copy that came back,
// seated as they come; the points of their planes, once they fly.
void seatReturningPlayers(kit::World& world, kit::NetworkSystem& network, MatchState& state);
void givePointsBack(kit::World& world, kit::NetworkSystem& network, MatchState& state);

// On a joined copy that plays, now and then: the note it would come back
// with after a crash (the player's state directory); `forget` at the end.
void keepMatchNote(kit::World& world, MatchState& state, float dt);

// Whether this run keeps notes of its matches (the game does; tests and
// tools, which share a state directory, do not, and leave the game's alone).
bool& keepsMatchNotes();
// The note deleted, by a run that keeps notes: the match ended, was left,
// or was come back to.
void forgetMatchNote();

} // namespace skyscuffle
