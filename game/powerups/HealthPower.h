#pragma once

#include "game/powerups/Power.h"

namespace skyscuffle {

// A full heal: health back to its maximum, smoke and fire gone, a burst of
// green at the plane. Lasts one frame.
class HealthPower : public Power {
public:
    HealthPower();

    void initialize() override;
    void update(float dt) override;
};

} // namespace skyscuffle
