#pragma once

#include "game/weapons/ProjectileSpawner.h"

namespace skyscuffle {

// The shotgun power's gun: on button 2 a fan of pellets, one straight
// ahead and the rest spread over the fan's angle, sharing the blast's damage.
class Shotgun : public ProjectileSpawner {
public:
    // `supply`: the tag of the plane's component that keeps the shots.
    Shotgun(kit::EntityHandle owner, kit::TagId supply);

    void update(float dt) override;

    float spread; // radians, the whole fan
    int pelletsPerShot;
    float totalDamage;
};

} // namespace skyscuffle
