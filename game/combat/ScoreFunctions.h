#pragma once

#include "engine/core/EntityHandle.h"

#include <string>

// "addKillPoints": the plane gains two points and the console says so. A
// plane this copy does not know (it left) is passed over without a word.
void addKillPoints(kit::EntityHandle plane);
// "addDeathPoints": the plane loses one point and the console says so.
void addDeathPoints(kit::EntityHandle plane);

// A number right-aligned in `width` characters (the HUD's scores, the
// loading screen's percentage, the win screen's table).
std::string rightAligned(long value, std::size_t width);
