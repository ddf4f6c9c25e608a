#pragma once

#include "game/weapons/ProjectileSpawner.h"

// The shotgun power's gun: on button 2 a fan of pellets, one straight
// ahead and the rest spread over the fan's angle, sharing the blast's damage.
class Shotgun : public ProjectileSpawner {
public:
    explicit Shotgun(kit::EntityHandle owner);

    void update(float dt) override;

    float spread; // radians, the whole fan
    int pelletsPerShot;
    float totalDamage;
};
