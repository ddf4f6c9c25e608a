#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <string>

namespace skyscuffle {

namespace fn {
// The plane that made a kill. Any copy may name any plane, but it counts only
// as the call right before the "addDeathPoints" of the plane it shot down,
// from the same copy: the victim's, whose plane died (see addDeathPoints).
inline constexpr kit::NamedFunction<> addKillPoints{"addKillPoints", kit::Caller::anyone};
// A plane of the calling copy died.
inline constexpr kit::NamedFunction<> addDeathPoints{"addDeathPoints"};
} // namespace fn

// "addKillPoints": nothing on its own; the death that follows it scores it.
void addKillPoints(kit::EntityHandle plane);
// "addDeathPoints": the plane loses one point and the console says so, if
// its death may be scored (Health::mayScoreDeath); a plane that has not been
// alive since its last scored death, or died again within a respawn, does
// not die twice. The kill named right before it, by the same copy in the
// same batch, gives that plane two points first (never the victim itself; a
// plane this copy does not know, because it left, is passed over without a
// word). A refused death is not passed on to the other copies.
void addDeathPoints(kit::EntityHandle plane);

// A number right-aligned in `width` characters (the HUD's scores, the
// loading screen's percentage, the win screen's table).
std::string rightAligned(long value, std::size_t width);

} // namespace skyscuffle
