#include "PlayerPingSpawner.h"

#include "EffectSettings.h"

#include "game/effects/Particles.h"
#include "game/effects/TranslationChild.h"

#include "game/input/VirtualGamepad.h"
#include "game/players/PlayerInfo.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

PlayerPingSpawner::PlayerPingSpawner()
{
    addClassTags<PlayerPingSpawner>("playerPingSpawner");
}

void PlayerPingSpawner::update(float dt)
{
    if (countdown >= 0.0f) {
        countdown -= dt;
        return;
    }
    const auto* gamepad = world->getComponent<VirtualGamepad>(entityId);
    const auto* plane = world->getComponent<kit::Transform>(entityId);
    if (!gamepad || !plane || !gamepad->isButtonDown(VirtualGamepad::ping))
        return;
    ParticleSpec ring;
    ring.position = plane->worldPosition();
    ring.life = effectSettings::ping.lifespan;
    ring.startScale = effectSettings::ping.startScale;
    ring.endScale = effectSettings::ping.endScale;
    ring.startAlpha = 1.0f;
    ring.endAlpha = 0.0f;
    ring.texture = effectSettings::ping.texture;
    if (const auto* info = world->getComponent<PlayerInfo>(entityId))
        ring.tint = info->colour; // the ring says whose plane it is
    const kit::EntityHandle particle = spawnParticle(*world, ring);
    world->addComponent(particle, new TranslationChild(getEntity()));
    countdown += std::max(effectSettings::ping.lifespan.value(), 0.05f);
}

} // namespace skyscuffle
