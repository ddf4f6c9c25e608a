#include "ProjectileSpawner.h"

#include "game/weapons/Ammunition.h"

#include "game/sound/SoundFunctions.h"
#include "game/weapons/ProjectileFunctions.h"
#include "game/input/VirtualGamepad.h"
#include "game/combat/Health.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

ProjectileSpawner::ProjectileSpawner(std::string projectileModel, float projectileSpeed, float projectileLifespan,
                                     float projectileRadius, float period, glm::vec2 muzzleOffset,
                                     kit::EntityHandle owner)
    : projectileModel(std::move(projectileModel)),
      projectileSpeed(projectileSpeed),
      projectileLifespan(projectileLifespan),
      projectileRadius(projectileRadius),
      period(period),
      muzzleOffset(muzzleOffset),
      owner(owner)
{
    addClassTags<ProjectileSpawner>("projectileSpawner");
}

std::optional<ProjectileSpawner::Muzzle> ProjectileSpawner::muzzle(float x) const
{
    const auto* own = world->getComponent<kit::Transform>(entityId);
    if (!own)
        return std::nullopt;
    const glm::quat rotation = own->worldRotation();
    return Muzzle{own->worldPosition() + rotation * glm::vec3(x, muzzleOffset.x, muzzleOffset.y),
                  rotation * glm::vec3(0.0f, 0.0f, 1.0f), rotation};
}

const VirtualGamepad* ProjectileSpawner::ownerGamepad() const
{
    return world->getComponent<VirtualGamepad>(owner.id);
}

const kit::Body* ProjectileSpawner::ownerBody() const
{
    return world->getComponent<kit::Body>(owner.id);
}

bool ProjectileSpawner::ownerIsDead() const
{
    const auto* health = world->getComponent<Health>(owner.id);
    return health && health->isDead();
}

kit::NetworkSystem* ProjectileSpawner::network() const
{
    return kit::NetworkSystem::of(world);
}

void ProjectileSpawner::playSound(const std::string& name) const
{
    if (kit::NetworkSystem* n = network())
        n->callFunction(fn::playSound, owner, name);
}

void ProjectileSpawner::fireBullet(glm::vec3 position, glm::vec3 velocity, float damage) const
{
    kit::NetworkSystem* n = network();
    if (!n)
        return;
    const kit::EntityHandle bullet = world->createEntity();
    n->callFunction(fn::spawnBullet, bullet, projectileModel, "images/bullet.png", owner.id, projectileLifespan,
                    projectileRadius, damage, position, glm::vec2(velocity));
}

Ammunition* ProjectileSpawner::ammunition() const
{
    if (!supply)
        return nullptr;
    return dynamic_cast<Ammunition*>(world->getComponent(owner.id, supply));
}

} // namespace skyscuffle
