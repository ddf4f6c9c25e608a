#pragma once

#include "game/weapons/ProjectileSpawner.h"

namespace skyscuffle {

// The gatling power's gun: fires by itself at its rate while the power has
// bullets, each one taken from the power's count. Keeps its rate at any frame
// rate: shots due earlier in a long frame start further along their way.
class GatlingGun : public ProjectileSpawner {
public:
    // `supply`: the tag of the plane's component that keeps the shots.
    GatlingGun(kit::EntityHandle owner, kit::TagId supply);

    void update(float dt) override;

    float damage;
};

} // namespace skyscuffle
