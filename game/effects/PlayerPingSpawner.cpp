#include "PlayerPingSpawner.h"

#include "game/effects/Particles.h"
#include "game/effects/TranslationChild.h"

#include "game/players/PlayerInfo.h"
#include "game/input/VirtualGamepad.h"

#include "engine/core/SettingsEntry.h"
#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

PlayerPingSpawner::PlayerPingSpawner()
{
    addClassTags<PlayerPingSpawner>("playerPingSpawner");
}

void PlayerPingSpawner::update(float dt)
{
    static kit::SettingsEntry<std::string> texture("tuning.particle.playerID.texture", "images/IDParticle.png");
    static kit::SettingsEntry<float> lifespan("tuning.particle.playerID.lifespan", 1.0f);
    static kit::SettingsEntry<float> startScale("tuning.particle.playerID.startScale", 5.0f);
    static kit::SettingsEntry<float> endScale("tuning.particle.playerID.endScale", 15.0f);

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
    ring.life = lifespan;
    ring.startScale = startScale;
    ring.endScale = endScale;
    ring.startAlpha = 1.0f;
    ring.endAlpha = 0.0f;
    ring.texture = texture;
    if (const auto* info = world->getComponent<PlayerInfo>(entityId))
        ring.tint = info->colour; // the ring says whose plane it is
    const kit::EntityHandle particle = spawnParticle(*world, ring);
    world->addComponent(particle, new TranslationChild(getEntity()));
    countdown += std::max(lifespan.value, 0.05f);
}

} // namespace skyscuffle
