#pragma once

#include "ProjectileSpawner.h"

// The bomb power's rack under the plane: shows the next bomb hanging there,
// and drops it on button 2, one each period while the power has bombs.
class BombSpawner : public ProjectileSpawner {
public:
    explicit BombSpawner(kit::EntityHandle owner);

    void update(float dt) override;
};
