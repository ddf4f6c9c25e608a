#pragma once

#include "game/powerups/Power.h"

#include "game/weapons/Ammunition.h"

#include "engine/core/EntityHandle.h"

#include <string>

namespace skyscuffle {

// A power that gives the plane a weapon for a number of shots: it replaces
// the plane's previous weapon power, hangs its weapon under the plane (on
// every copy, as a local entity) and ends everywhere once its shots are
// spent. The weapon goes with it.
class WeaponPower : public Power, public Ammunition {
public:
    WeaponPower(std::string typeName, int shots);

    void initialize() override;
    void update(float dt) override;
    void onRemoved() override;

    kit::EntityHandle weapon; // this copy's weapon entity

protected:
    // Builds the weapon entity under the plane (Transform parented to it).
    virtual kit::EntityHandle buildWeapon() = 0;

private:
    std::string typeName_;
};

} // namespace skyscuffle
