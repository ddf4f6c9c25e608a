#include "SpeedPower.h"

#include "game/effects/DashParticleEmitter.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"

namespace skyscuffle {

SpeedPower::SpeedPower()
{
    static kit::SettingsEntry<float> duration("tuning.speedPower.duration", 5.0f);
    static kit::SettingsEntry<float> thrust("tuning.speedPower.multiplier", 3.0f);
    timeLeft = duration;
    multiplier = thrust;
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
