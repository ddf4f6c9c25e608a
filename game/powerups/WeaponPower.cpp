#include "WeaponPower.h"

#include "game/common/Tags.h"

#include "engine/core/World.h"

namespace skyscuffle {

WeaponPower::WeaponPower(std::string typeName, int shots) : Ammunition(shots), typeName_(std::move(typeName))
{
    addTag(kit::tagId(tags::gunPower));
    addTag(kit::tagId(typeName_));
}

void WeaponPower::initialize()
{
    // Not filed yet: only the plane's previous weapon power goes.
    world->destroyComponents(entityId, kit::tagId(tags::gunPower));
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

} // namespace skyscuffle
