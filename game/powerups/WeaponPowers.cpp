// The three weapon powers: the weapon each hangs under the plane.
#include "game/powerups/BombPower.h"
#include "game/powerups/PowerSettings.h"
#include "game/powerups/GatlingGunPower.h"
#include "game/powerups/ShotgunPower.h"

#include "game/powerups/PowerupFunctions.h"
#include "game/sound/SoundManager.h"
#include "game/looks/ModelLook.h"
#include "game/weapons/GatlingGun.h"
#include "game/weapons/Shotgun.h"
#include "game/common/Tags.h"
#include "game/looks/MatchModel.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Transform.h"
#include "engine/render/Model.h"

namespace skyscuffle {

namespace {

// A weapon entity of this copy under the plane, drawn normal-mapped.
kit::EntityHandle hangWeapon(kit::World& world, kit::EntityHandle plane, const std::string& model,
                             const std::string& normalMap, kit::Component* spawner)
{
    const kit::EntityHandle weapon = world.createEntity();
    world.addComponent(weapon, new kit::Label(tags::gameSpace));
    world.addComponent(weapon, new kit::Transform(plane, glm::vec3(0.0f)));
    world.addComponent(weapon, matchModel(model));
    world.addComponent(weapon, new ModelLook(LookSpec{"shaders/tanSpaceNormalMapping.txt", normalMap, "", {}}));
    world.addComponent(weapon, spawner);
    return weapon;
}

int shotsOf(const kit::Setting<int>& shots)
{
    return std::max(shots.value(), 0);
}

} // namespace

GatlingGunPower::GatlingGunPower()
    : WeaponPower(tags::gatlingGunPower, shotsOf(powerSettings::gatlingGunShots))
{
    addClassTags<GatlingGunPower>("gatlingGunPower");
}

void GatlingGunPower::initialize()
{
    WeaponPower::initialize();
    if (SoundManager* sounds = SoundManager::of(world))
        fireSound = sounds->playKept("gatlingGunFire", audio::Mode::loop);
}

void GatlingGunPower::onRemoved()
{
    fireSound.stop();
    WeaponPower::onRemoved();
}

kit::EntityHandle GatlingGunPower::buildWeapon()
{
    return hangWeapon(*world, getEntity(), "models/gatlingGun/gatlingGun.obj", "models/gatlingGun/GatlingNormals.png",
                      new GatlingGun(getEntity(), kit::typeId<GatlingGunPower>()));
}

ShotgunPower::ShotgunPower() : WeaponPower(tags::shotgunPower, shotsOf(powerSettings::shotgunShots))
{
    addClassTags<ShotgunPower>("shotgunPower");
}

kit::EntityHandle ShotgunPower::buildWeapon()
{
    return hangWeapon(*world, getEntity(), "models/shotgun/shotgun.obj", "models/shotgun/Shotgun_Normal.png",
                      new Shotgun(getEntity(), kit::typeId<ShotgunPower>()));
}

BombPower::BombPower() : WeaponPower(tags::bombPower, shotsOf(powerSettings::bombs))
{
    addClassTags<BombPower>("bombPower");
}

kit::EntityHandle BombPower::buildWeapon()
{
    if (!world->owns(entityId))
        return {}; // the plane's own copy builds the rack everywhere
    kit::NetworkSystem* network = kit::NetworkSystem::of(world);
    if (!network)
        return {};
    const kit::EntityHandle rack = world->createEntity();
    network->callFunction(fn::spawnBombSpawner, getEntity(), rack.id);
    return rack;
}

} // namespace skyscuffle
