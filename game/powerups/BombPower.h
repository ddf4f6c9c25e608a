#pragma once

#include "game/powerups/WeaponPower.h"

namespace skyscuffle {

// A rack of bombs under the plane, dropped on button 2. The plane's own copy
// makes the rack's id and has every copy build it ("spawnBombSpawner"); every
// copy takes its rack away when the power ends (which happens everywhere).
class BombPower : public WeaponPower {
public:
    BombPower();


protected:
    kit::EntityHandle buildWeapon() override;
};

} // namespace skyscuffle
