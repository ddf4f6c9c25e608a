#pragma once

#include "game/powerups/Power.h"

namespace skyscuffle {

// A new plane's shield: no damage, no computer pilot picks it as a target,
// and it blinks (the plane and what hangs under it) until the time is up.
class InvincibilityPower : public Power {
public:
    InvincibilityPower();

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    float timeLeft;    // seconds
    float flashPeriod; // seconds each way
    bool shown = true;

private:
    void show(bool visible);
};

} // namespace skyscuffle
