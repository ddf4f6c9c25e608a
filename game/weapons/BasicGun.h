#pragma once

#include "game/weapons/ProjectileSpawner.h"

namespace skyscuffle {

// Every plane's own gun: two barrels taking turns, one shot each period
// while button 1 is held; the first shot after a pause leaves at once.
class BasicGun : public ProjectileSpawner {
public:
    BasicGun(kit::EntityHandle owner, std::string fireSound);

    void update(float dt) override;

    float damage;
    bool alternateBarrel = false;
    std::string fireSound;
};

} // namespace skyscuffle
