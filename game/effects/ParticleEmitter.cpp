#include "ParticleEmitter.h"

#include "game/effects/ParticleBudget.h"

#include "game/common/Random.h"

#include "engine/core/World.h"
#include "engine/physics/Transform.h"

namespace skyscuffle {

ParticleEmitter::ParticleEmitter(const Settings& settings)
    : texture(settings.texture), minScale(settings.minScale), maxScale(settings.maxScale),
      minLifespan(settings.minLifespan), maxLifespan(settings.maxLifespan), minSpeed(settings.minSpeed),
      maxSpeed(settings.maxSpeed), interval(1.0f), countdown(0.0f), spawnRadius(settings.spawnRadius)
{
    addClassTags<ParticleEmitter>("particleEmitter");
    setRate(settings.particlesPerSecond);
}

void ParticleEmitter::setRate(float particlesPerSecond)
{
    // A rate of nothing (or nonsense from the tuning file) emits rarely, never endlessly.
    interval = particlesPerSecond > 0.01f ? 1.0f / particlesPerSecond : 100.0f;
}

void ParticleEmitter::update(float dt)
{
    // The time passes first and whatever is due leaves in the same frame, so
    // the trail keeps its rate at any frame rate (counting down on one frame
    // and emitting on the next would halve it at 60 frames a second). Several
    // particles may leave in one long frame; the tolerance keeps float
    // rounding (0.1 s is not five times 0.02 s in binary) from adding one.
    constexpr float tolerance = 1e-5f;
    countdown -= dt;
    while (countdown < -tolerance) {
        emit();
        countdown += interval;
    }
}

void ParticleEmitter::emit()
{
    const kit::Transform* own = world->getComponent<kit::Transform>(entityId);
    if (!own)
        return;
    // Near the world's ceiling the trail thins out: fewer particles, larger.
    const ParticleBudget::Grant granted = ParticleBudget::grant(*world, 1);
    if (granted.count == 0)
        return;
    const float speed = Random::between(minSpeed, maxSpeed);
    const glm::vec3 local((0.4f * Random::uniform() - 0.2f) * speed, (0.4f * Random::uniform() - 0.2f) * speed,
                          -speed); // backwards along the nose, a little spread
    ParticleSpec spec;
    spec.position = own->worldPosition() + Random::inBall(spawnRadius);
    spec.velocity = own->worldRotation() * local;
    spec.life = Random::between(minLifespan, maxLifespan);
    spec.startScale = 0.0f;
    spec.endScale = Random::between(minScale, maxScale);
    spec.startAlpha = 1.0f;
    spec.endAlpha = 0.0f;
    spec.texture = texture;
    style(spec);
    spec.startScale *= granted.scale;
    spec.endScale *= granted.scale;
    spawned(spawnParticle(*world, spec));
    ++emitted_;
}

} // namespace skyscuffle
