#include "SpeedPower.h"

#include "PowerSettings.h"

#include "game/effects/DashParticleEmitter.h"

#include "engine/core/World.h"

namespace skyscuffle {

SpeedPower::SpeedPower()
{
    timeLeft = powerSettings::speedDuration;
    multiplier = powerSettings::speedMultiplier;
    addClassTags<SpeedPower>("speedPower");
}

void SpeedPower::initialize()
{
    // Not filed yet: only an earlier speed power goes.
    world->destroyComponents(entityId, kit::typeId<SpeedPower>());
    world->addComponent(getEntity(),
                        new DashParticleEmitter("speedPowerEmitter", DashParticleEmitter::speedPowerRate()));
}

void SpeedPower::update(float dt)
{
    if (timeLeft <= 0.0f) {
        delete world->removeComponent(this);
        return;
    }
    timeLeft -= dt;
}

void SpeedPower::onRemoved()
{
    world->destroyComponents(entityId, kit::tagId("speedPowerEmitter"));
}

} // namespace skyscuffle
