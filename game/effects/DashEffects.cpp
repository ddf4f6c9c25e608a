#include "DashEffects.h"

#include "game/effects/DashParticleEmitter.h"
#include "game/sound/SoundManager.h"
#include "game/common/Tags.h"

#include "engine/core/World.h"

namespace skyscuffle {

void startDashEffects(kit::EntityHandle plane)
{
    if (SoundManager* sounds = SoundManager::of(plane.world))
        sounds->play("dash");
    plane.world->addComponent(plane, new DashParticleEmitter(tags::dashEmitter, DashParticleEmitter::dashRate()));
}

void endDashEffects(kit::EntityHandle plane)
{
    plane.world->destroyComponents(plane.id, kit::tagId(tags::dashEmitter));
}

} // namespace skyscuffle
