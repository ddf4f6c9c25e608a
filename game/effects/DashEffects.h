#pragma once

#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// What a dash looks and sounds like on every copy: its sound and a trail of
// particles behind the plane from its start, the trail gone at its end.
void startDashEffects(kit::EntityHandle plane);
void endDashEffects(kit::EntityHandle plane);

} // namespace skyscuffle
