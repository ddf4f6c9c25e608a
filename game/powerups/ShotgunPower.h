#pragma once

#include "game/powerups/WeaponPower.h"

// A shotgun under the plane, a few blasts on button 2.
class ShotgunPower : public WeaponPower {
public:
    ShotgunPower();


protected:
    kit::EntityHandle buildWeapon() override;
};
