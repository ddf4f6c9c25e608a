#pragma once

#include "game/powerups/Power.h"

namespace skyscuffle {

// A few seconds of more thrust, with a streak behind the plane; while it
// lasts the plane rams what it touches (see PlanePhysics).
class SpeedPower : public Power {
public:
    SpeedPower();

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    float timeLeft;   // seconds
    float multiplier; // of the plane's thrust
};

} // namespace skyscuffle
