#pragma once

#include "game/weapons/ProjectileSpawner.h"

#include "engine/core/Signal.h"

namespace skyscuffle {

// The bomb power's rack under the plane: shows the next bomb hanging there,
// and drops it on button 2, one each period while the power has bombs.
//
// The hanging bomb shows when the rack is loaded and the plane's shield (if
// it has one) shows the plane. Every copy reloads the rack when a bomb of
// its plane appears ("spawnBomb" runs everywhere), so the bomb goes from
// under the plane on every copy at the drop and comes back a period later,
// and blinks with the plane in between, as on the plane's own copy.
class BombSpawner : public ProjectileSpawner {
public:
    // `supply`: the tag of the plane's component that keeps the shots.
    BombSpawner(kit::EntityHandle owner, kit::TagId supply);

    // Listens for the plane's bombs from here on.
    void initialize() override;
    void update(float dt) override;

    // Whether the next bomb hangs ready (the period since the last drop is over).
    [[nodiscard]] bool loaded() const { return timer < 0.0f; }

private:
    // A bomb of the plane was dropped: the rack is empty for a period.
    void reload();
    void showHanging();

    kit::ScopedConnection bombs_;
    bool dropping_ = false;
    bool countFromNextFrame_ = false;
};

} // namespace skyscuffle
