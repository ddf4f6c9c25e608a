#include "HealthPower.h"

#include "game/sound/SoundManager.h"
#include "game/combat/Health.h"
#include "game/effects/Bursts.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

HealthPower::HealthPower()
{
    addClassTags<HealthPower>("healthPower");
}

void HealthPower::initialize()
{
    if (SoundManager* sounds = SoundManager::of(world))
        sounds->play("healthPU");
    if (auto* health = world->getComponent<Health>(entityId))
        health->restore();
    if (const auto* at = world->getComponent<kit::Transform>(entityId))
        healthBurst(*world, at->worldPosition());
}

void HealthPower::update(float)
{
    delete world->removeComponent(this);
}

} // namespace skyscuffle
