#pragma once

#include "game/ai/Decision.h"

#include "engine/core/EntityHandle.h"

namespace skyscuffle {

// Healthy enough to fight: the plane has more health than the tuning's
// minimum to be aggressive.
class isHealthly : public Decision {
public:
    explicit isHealthly(kit::EntityHandle plane) : plane(plane) {}
    bool test() override;

    kit::EntityHandle plane;
};

} // namespace skyscuffle
