#include "Bomb.h"

#include "game/weapons/Explosion.h"

#include "game/common/GameMath.h"
#include "game/common/Tags.h"
#include "game/effects/Bursts.h"
#include "game/effects/EffectSettings.h"
#include "game/effects/ParticleBudget.h"
#include "game/effects/Particles.h"

#include "engine/core/Label.h"
#include "engine/core/World.h"
#include "engine/physics/Body.h"
#include "engine/physics/Transform.h"

#include <glm/geometric.hpp>

namespace skyscuffle {

Bomb::Bomb(float blastRadius, float minDamage, float maxDamage, kit::EntityHandle owner)
    : blastRadius(blastRadius), minDamage(minDamage), maxDamage(maxDamage), owner(owner)
{
    addClassTags<Bomb>("bomb");
}

void Bomb::update(float)
{
    auto* transform = world->getComponent<kit::Transform>(entityId);
    const auto* body = world->getComponent<kit::Body>(entityId);
    if (!transform || !body || glm::dot(body->velocity, body->velocity) < 1e-6f)
        return;
    // The bomb's long axis (+Z) along its flight.
    transform->rotation = shortestArc(glm::vec3(0.0f, 0.0f, 1.0f), glm::normalize(body->velocity));
}

bool Bomb::onHit(kit::EntityHandle other)
{
    if (other.id == owner.id)
        return false; // it leaves its own plane's belly without a bang
    explode();
    return true;
}

void Bomb::explode()
{
    const auto* transform = world->getComponent<kit::Transform>(entityId);
    if (!transform)
        return;
    const glm::vec3 at = transform->worldPosition();
    kit::World& w = *world;
    ParticleSpec flash;
    flash.position = at;
    flash.life = 0.35f;
    flash.startScale = blastRadius * 1.2f;
    flash.endScale = blastRadius * 2.2f;
    flash.startAlpha = 1.0f;
    flash.endAlpha = 0.0f;
    flash.texture = "images/explosionSub.png";
    if (effectSettings::calmerFlashes) {
        // A dim glow that swells and fades over most of a second: no pop to
        // full brightness, and bombs in quick succession merge into one glow.
        flash.life = 0.8f;
        flash.startAlpha = 0.3f;
        flash.fadeIn = 0.2f;
    }
    if (ParticleBudget::grant(w, 1).count > 0)
        spawnParticle(w, flash);
    explosionBurst(w, at);

    const kit::EntityHandle blast = w.createEntity();
    w.addComponent(blast, new kit::Label(tags::gameSpace));
    w.addComponent(blast, new kit::Transform(at));
    w.addComponent(blast, new Explosion(blastRadius, minDamage, maxDamage, owner));
    w.destroyEntityNow(getEntity()); // this component goes with it: nothing of it is read afterwards
}

} // namespace skyscuffle
