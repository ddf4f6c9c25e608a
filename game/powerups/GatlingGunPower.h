#pragma once

#include "game/powerups/WeaponPower.h"

#include "game/sound/PlayingSound.h"

namespace skyscuffle {

// A gatling gun under the plane that fires by itself until its bullets are
// spent, with its rattle looping all the while.
class GatlingGunPower : public WeaponPower {
public:
    GatlingGunPower();

    void initialize() override;
    void onRemoved() override;

    PlayingSound fireSound; // stops when the power goes, however it goes

protected:
    kit::EntityHandle buildWeapon() override;
};

} // namespace skyscuffle
