#pragma once

#include "game/powerups/Power.h"

namespace skyscuffle {

// A new plane's shield: no damage, no computer pilot picks it as a target,
// and it blinks (the plane and what hangs under it) until the time is up.
// Under calmer flashes (effectSettings::calmerFlashes) the plane is never
// hidden: it glows instead, the glow rising at the start, breathing gently
// and falling before the shield ends.
class InvincibilityPower : public Power {
public:
    InvincibilityPower();

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    // The calm glow's strength, 0 to 1, a time into the shield with a time
    // left: 0 at either end.
    [[nodiscard]] static float glowAt(float elapsed, float left);

    float timeLeft;    // seconds
    float flashPeriod; // seconds each way
    bool shown = true;
    float elapsed = 0.0f; // seconds since the shield came
    bool glowing = false;

private:
    void show(bool visible);
    // Lights the plane and its parts by a share of the shield's glow; 0 puts
    // their own light back.
    void glow(float level);
};

} // namespace skyscuffle
