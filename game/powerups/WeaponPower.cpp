#include "WeaponPower.h"

#include "engine/core/World.h"

WeaponPower::WeaponPower(std::string typeName, int shots) : shotsLeft(shots), typeName_(std::move(typeName))
{
    addTag(kit::tagId("gunPower"));
    addTag(kit::tagId(typeName_));
}

void WeaponPower::initialize()
{
    // Not filed yet: only the plane's previous weapon power goes.
    world->destroyComponents(entityId, kit::tagId("gunPower"));
    weapon = buildWeapon();
}

void WeaponPower::update(float)
{
    if (shotsLeft < 1)
        endEverywhere(typeName_);
}

void WeaponPower::onRemoved()
{
    if (!weapon.empty())
        world->destroyEntityNow(weapon);
    weapon = {};
}
