#pragma once

#include "engine/core/EntityHandle.h"
#include "engine/network/NamedFunction.h"

#include <string>

namespace skyscuffle {

namespace fn {
// The victim's copy scores the kill for the attacker's plane.
inline constexpr kit::NamedFunction<> addKillPoints{"addKillPoints", kit::Caller::anyone};
inline constexpr kit::NamedFunction<> addDeathPoints{"addDeathPoints"};
} // namespace fn

// "addKillPoints": the plane gains two points and the console says so. A
// plane this copy does not know (it left) is passed over without a word.
void addKillPoints(kit::EntityHandle plane);
// "addDeathPoints": the plane loses one point and the console says so.
void addDeathPoints(kit::EntityHandle plane);

// A number right-aligned in `width` characters (the HUD's scores, the
// loading screen's percentage, the win screen's table).
std::string rightAligned(long value, std::size_t width);

} // namespace skyscuffle
