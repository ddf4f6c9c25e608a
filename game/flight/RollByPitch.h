#pragma once

#include "engine/core/Behavior.h"

#include <string>

namespace skyscuffle {

// Keeps a plane's model upright whichever way it flies: rebuilds the
// rotation from the nose alone, with the top toward +Y when flying left or
// right, toward the camera climbing straight up and away from it diving.
// A larger bias ("tuning.plane.antiRollBias") keeps the top near +Y over a
// wider range of climb angles.
class RollByPitch : public kit::Behavior {
public:
    RollByPitch();

    void update(float dt) override;
};

} // namespace skyscuffle
