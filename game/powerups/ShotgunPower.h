#pragma once

#include "game/powerups/WeaponPower.h"

namespace skyscuffle {

// A shotgun under the plane, a few blasts on button 2.
class ShotgunPower : public WeaponPower {
public:
    ShotgunPower();


protected:
    kit::EntityHandle buildWeapon() override;
};

} // namespace skyscuffle
